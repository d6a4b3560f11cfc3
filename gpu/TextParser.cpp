#include "gpu/TextParser.h"

#include "platform/FileAccess.h"

namespace Orvanta {

namespace {

// Text files are small; anything beyond this is not a shader or a material.
constexpr size_t kMaxTextFileBytes = size_t(64) << 20;

bool isSeparator(char c)
{
    return c == '{' || c == '}' || c == '=' || c == '\n';
}

struct Token {
    std::string text;
    size_t line = 1;  // where the token starts
};

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

std::vector<Token> tokenize(const std::string& input, std::string& problem)
{
    const std::string text = removeBlanks(input);
    std::vector<Token> tokens;
    size_t at = 0;
    size_t line = 1;
    auto countLines = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i)
            line += text[i] == '\n';
    };
    while (at < text.size()) {
        const char c = text[at];
        if (c == '"') {
            const size_t close = text.find('"', at + 1);
            if (close == std::string::npos) {
                // An unclosed quote takes the rest of the text.
                if (problem.empty())
                    problem = "line " + std::to_string(line) +
                              ": a double quote is never closed; the rest of the file became one value";
                tokens.push_back({text.substr(at + 1), line});
                break;
            }
            tokens.push_back({text.substr(at + 1, close - at - 1), line});
            countLines(at, close);
            at = close + 1;
        } else if (!isSeparator(c)) {
            size_t end = at;
            while (end < text.size() && !isSeparator(text[end]))
                ++end;
            tokens.push_back({text.substr(at, end - at), line});
            at = end;
        } else {
            if (c == '\n')
                ++line;
            else
                tokens.push_back({std::string(1, c), line});
            ++at;
        }
    }
    return tokens;
}

std::string quoted(const std::string& token)
{
    constexpr size_t shown = 40;
    return "\"" + (token.size() > shown ? token.substr(0, shown) + "..." : token) + "\"";
}

// The state of one parse: tokens, the cursor into them and the tree built so far. Blocks are
// parsed with an explicit stack rather than by recursion, so the depth of the file never reaches
// the depth of the machine stack.
class TextParser {
public:
    TextParser(std::vector<Token> parsedTokens, std::string& firstProblem)
        : tokens(std::move(parsedTokens)), problem(firstProblem)
    {
    }

    std::unique_ptr<TextNode> parseRoot()
    {
        if (tokens.empty()) {
            report(0, "the file holds no text");
            return nullptr;
        }
        if (tokens.size() < 2 || !isWord(0) || tokens[1].text != "{") {
            report(0, "the file does not start with a name followed by \"{\"");
            return nullptr;
        }
        auto root = std::make_unique<TextNode>();
        root->kind = TextNode::Block;
        root->name = tokens[0].text;
        cursor = 2;
        parseContents(*root);
        return root;
    }

private:
    bool isWord(size_t at) const
    {
        const std::string& t = tokens[at].text;
        return t != "{" && t != "}" && t != "=";
    }
    bool has(size_t at) const { return at < tokens.size(); }
    bool is(size_t at, const char* text) const { return has(at) && tokens[at].text == text; }

    void report(size_t at, const std::string& what)
    {
        if (!problem.empty())
            return;
        problem = has(at) ? "line " + std::to_string(tokens[at].line) + ": " + what : what;
    }

    // Why the token under the cursor fits none of the three forms of a block's contents.
    std::string malformed() const
    {
        const std::string& t0 = tokens[cursor].text;
        if (!isWord(cursor))
            return quoted(t0) + " stands where a name was expected";
        if (!has(cursor + 1))
            return "the file ends after the name " + quoted(t0);
        if (tokens[cursor + 1].text == "=")
            return "the file ends after " + quoted(t0) + " =, without a value";
        return "the name " + quoted(t0) + " is followed by " + quoted(tokens[cursor + 1].text) +
               " instead of \"=\" or \"{\"";
    }

    void parseContents(TextNode& root)
    {
        // The open blocks, innermost last. Each points into its parent's children, which do not
        // move while a deeper block is being filled.
        std::vector<TextNode*> open{&root};
        std::vector<size_t> openedAt{0};
        while (has(cursor)) {
            TextNode& block = *open.back();
            if (isWord(cursor) && is(cursor + 1, "{")) {
                if (open.size() >= kMaxTextNesting) {
                    report(cursor, "blocks are nested deeper than " + std::to_string(kMaxTextNesting) +
                                       " levels; the rest of the file is ignored");
                    return;
                }
                TextNode child;
                child.kind = TextNode::Block;
                child.name = tokens[cursor].text;
                block.children.push_back(std::move(child));
                open.push_back(&block.children.back());
                openedAt.push_back(cursor);
                cursor += 2;
            } else if (is(cursor, "}")) {
                cursor += 1;
                open.pop_back();
                openedAt.pop_back();
                if (open.empty()) {
                    if (has(cursor))
                        report(cursor, "text after the closing \"}\" of " + quoted(root.name) + " is ignored");
                    return;
                }
            } else if (isWord(cursor) && is(cursor + 1, "=") && has(cursor + 2)) {
                TextNode child;
                child.kind = TextNode::Value;
                child.name = tokens[cursor].text;
                child.value = tokens[cursor + 2].text;
                block.children.push_back(std::move(child));
                cursor += 3;
            } else {
                report(cursor, malformed() + "; the rest of the file is ignored");
                cursor = tokens.size();
                return;
            }
        }
        // Blocks still open at the end of the text simply end there; the reader gets the tree.
        report(openedAt.back(),
               "the block " + quoted(open.back()->name) +
                   " opened here is not closed before the end "
                   "of the file" +
                   (open.size() > 1 ? " (nor are the " + std::to_string(open.size() - 1) + " blocks around it)"
                                    : std::string()));
    }

    std::vector<Token> tokens;
    size_t cursor = 0;
    std::string& problem;
};

}  // namespace

std::vector<std::string> tokenizeText(const std::string& input)
{
    std::string problem;
    std::vector<std::string> texts;
    for (Token& token : tokenize(input, problem))
        texts.push_back(std::move(token.text));
    return texts;
}

std::unique_ptr<TextNode> parseText(const std::string& text, std::string& problem)
{
    problem.clear();
    TextParser parser(tokenize(text, problem), problem);
    return parser.parseRoot();
}

std::unique_ptr<TextNode> parseText(const std::string& text)
{
    std::string problem;
    return parseText(text, problem);
}

std::unique_ptr<TextNode> parseFile(const std::string& path, std::string& problem)
{
    std::vector<uint8_t> raw;
    if (!readRegularFile(path, raw, problem, kMaxTextFileBytes))
        return nullptr;
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            continue;
        text.push_back(char(raw[i]));
    }
    return parseText(text, problem);
}

std::unique_ptr<TextNode> parseFile(const std::string& path)
{
    std::string problem;
    return parseFile(path, problem);
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
