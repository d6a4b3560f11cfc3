#include "gpu/TextParser.h"

#include <cstdio>

namespace Orvanta {

namespace {

bool isSeparator(char c)
{
    return c == '{' || c == '}' || c == '=' || c == '\n';
}

// Blanks outside double-quoted strings carry no meaning; an unclosed quote keeps its blanks to
// the end of the text.
std::string removeBlanks(const std::string& text)
{
    std::string kept;
    kept.reserve(text.size());
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == ' ' || c == '\t'))
            continue;
        kept.push_back(c);
    }
    return kept;
}

// The state of one parse: tokens, the cursor into them and the tree built so far.
class TextParser {
public:
    explicit TextParser(std::vector<std::string> parsedTokens) : tokens(std::move(parsedTokens)) {}

    std::unique_ptr<TextNode> parseRoot()
    {
        if (tokens.size() < 2 || !isWord(0) || tokens[1] != "{")
            return nullptr;
        auto root = std::make_unique<TextNode>();
        root->kind = TextNode::Block;
        root->name = tokens[0];
        cursor = 2;
        parseContents(*root);
        return root;
    }

private:
    bool isWord(size_t at) const
    {
        const std::string& t = tokens[at];
        return t != "{" && t != "}" && t != "=";
    }
    bool has(size_t at) const { return at < tokens.size(); }

    // Returns false when a malformed sequence stopped the parse: every open block then ends.
    bool parseContents(TextNode& block)
    {
        while (has(cursor)) {
            if (isWord(cursor) && has(cursor + 1) && tokens[cursor + 1] == "{") {
                TextNode child;
                child.kind = TextNode::Block;
                child.name = tokens[cursor];
                cursor += 2;
                bool wellFormed = parseContents(child);
                block.children.push_back(std::move(child));
                if (!wellFormed)
                    return false;
            } else if (tokens[cursor] == "}") {
                cursor += 1;
                return true;
            } else if (isWord(cursor) && has(cursor + 2) && tokens[cursor + 1] == "=") {
                TextNode child;
                child.kind = TextNode::Value;
                child.name = tokens[cursor];
                child.value = tokens[cursor + 2];
                cursor += 3;
                block.children.push_back(std::move(child));
            } else {
                cursor = tokens.size();
                return false;
            }
        }
        return true;
    }

    std::vector<std::string> tokens;
    size_t cursor = 0;
};

}  // namespace

std::vector<std::string> tokenizeText(const std::string& input)
{
    std::string text = removeBlanks(input);
    std::vector<std::string> tokens;
    size_t at = 0;
    while (at < text.size()) {
        char c = text[at];
        if (c == '"') {
            size_t close = text.find('"', at + 1);
            if (close == std::string::npos) {
                // An unclosed quote takes the rest of the text.
                tokens.push_back(text.substr(at + 1));
                break;
            }
            tokens.push_back(text.substr(at + 1, close - at - 1));
            at = close + 1;
        } else if (!isSeparator(c)) {
            size_t end = at;
            while (end < text.size() && !isSeparator(text[end]))
                ++end;
            tokens.push_back(text.substr(at, end - at));
            at = end;
        } else {
            if (c != '\n')
                tokens.push_back(std::string(1, c));
            ++at;
        }
    }
    return tokens;
}

std::unique_ptr<TextNode> parseText(const std::string& text)
{
    TextParser parser(tokenizeText(text));
    return parser.parseRoot();
}

std::unique_ptr<TextNode> parseFile(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return nullptr;
    std::string raw;
    char buffer[1 << 14];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        raw.append(buffer, n);
    std::fclose(file);
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            continue;
        text.push_back(raw[i]);
    }
    return parseText(text);
}

namespace {

bool needsQuotes(const std::string& value)
{
    if (value.empty())
        return true;
    for (char c : value)
        if (c == ' ' || c == '\t' || c == '\r' || isSeparator(c))
            return true;
    return false;
}

bool validName(const std::string& name)
{
    return !name.empty() && !needsQuotes(name) && name.find('"') == std::string::npos;
}

bool formatNode(const TextNode& node, int depth, std::string& text, std::string& error)
{
    if (!validName(node.name)) {
        error = "the name '" + node.name + "' cannot be written as a word";
        return false;
    }
    const std::string indent(static_cast<size_t>(depth) * 4, ' ');
    if (node.kind == TextNode::Value) {
        if (node.value.find('"') != std::string::npos) {
            error = "the value of '" + node.name + "' holds a double quote";
            return false;
        }
        const bool quoted = needsQuotes(node.value);
        text += indent + node.name + " = " + (quoted ? "\"" : "") + node.value + (quoted ? "\"" : "") + "\n";
        return true;
    }
    text += indent + node.name + "\n" + indent + "{\n";
    for (const TextNode& child : node.children)
        if (!formatNode(child, depth + 1, text, error))
            return false;
    text += indent + "}\n";
    return true;
}

}  // namespace

bool formatText(const TextNode& root, std::string& text, std::string& error)
{
    if (root.kind != TextNode::Block) {
        error = "the root of a text file must be a block";
        return false;
    }
    text.clear();
    return formatNode(root, 0, text, error);
}

}  // namespace Orvanta
