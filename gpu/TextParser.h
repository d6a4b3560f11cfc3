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

// Splits text into tokens: blanks outside double quotes are dropped, "{", "}" and "=" are tokens
// of their own, line feeds separate words, a quoted string (which may span lines) is one token.
std::vector<std::string> tokenizeText(const std::string& text);

// Builds the tree of text already read. Returns null when the text does not start with a word
// followed by "{". Anything after the root's closing brace is ignored. A sequence that fits no
// form (a stray "=", two words in a row, a trailing word) ends every open block there and the
// tree built so far is returned.
std::unique_ptr<TextNode> parseText(const std::string& text);

// Reads a file (CR LF counts as LF) and parses it. A file that cannot be opened gives null.
std::unique_ptr<TextNode> parseFile(const std::string& path);

// Writes a tree as text that parseText reads back into the same tree: one node per line, blocks
// indented by four spaces. A value is quoted when it is empty or holds a blank, a line feed or a
// separator. Returns false with a message naming the node when the tree cannot be written so: a
// name that is empty or holds a blank, a separator or a double quote, or a value that holds a
// double quote (the format has no escapes).
bool formatText(const TextNode& root, std::string& text, std::string& error);

}  // namespace Orvanta
