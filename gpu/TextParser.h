#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Orvanta {

// One node of a brace-structured text file: a named block holding other nodes in file order, or
// a key-value pair. Names need not be unique; readers walk the children themselves.
struct TextNode {
    enum Kind : int32_t {
        Block = 0,
        Value = 1,
    };
    int32_t kind = Block;
    std::string name;
    std::vector<TextNode> children;  // empty for a value
    std::string value;               // empty for a block
};

// Blocks nested deeper than this (the root counts as one) end the parse: real files nest three or
// four levels, and a bound keeps a hostile file from exhausting the stack of any reader that walks
// the tree recursively (or of the tree's own destructor).
inline constexpr size_t kMaxTextNesting = 64;

// Splits text into tokens: blanks outside double quotes are dropped, "{", "}" and "=" are tokens
// of their own, line feeds separate words, a quoted string (which may span lines) is one token.
std::vector<std::string> tokenizeText(const std::string& text);

// Builds the tree of text already read. Returns null when the text does not start with a word
// followed by "{". Anything after the root's closing brace is ignored. A sequence that fits no
// form (a stray "=", two words in a row, a trailing word) or nesting beyond kMaxTextNesting ends
// every open block there and the tree built so far is returned. Blocks still open at the end of
// the text end there.
//
// `problem` receives the first thing wrong with the text, with its line ("line 4: ..."), or stays
// empty for well-formed text: an unclosed quote, a sequence that fits no form, too deep nesting,
// blocks left open at the end, text after the root's closing brace, or why there is no root.
std::unique_ptr<TextNode> parseText(const std::string& text, std::string& problem);
std::unique_ptr<TextNode> parseText(const std::string& text);

// Reads a regular file (CR LF counts as LF) and parses it. A file that cannot be read (missing, a
// directory, a device) gives null with the reason in `problem`.
std::unique_ptr<TextNode> parseFile(const std::string& path, std::string& problem);
std::unique_ptr<TextNode> parseFile(const std::string& path);

// Writes a tree as text that parseText reads back into the same tree: one node per line, blocks
// indented by four spaces. A value is quoted when it is empty or holds a blank, a line feed or a
// separator. Returns false with a message naming the node when the tree cannot be written so: a
// name that is empty or holds a blank, a separator or a double quote, or a value that holds a
// double quote (the format has no escapes).
bool formatText(const TextNode& root, std::string& text, std::string& error);

}  // namespace Orvanta
