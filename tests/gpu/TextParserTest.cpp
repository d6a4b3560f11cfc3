#include "gpu/TextParser.h"

#include "GpuTestSupport.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

using namespace Orvanta;

namespace {

const TextNode& child(const TextNode& node, size_t index)
{
    return node.children.at(index);
}

}  // namespace

TEST(TextParserBlanks, QuotedBlanksStayAndUnquotedBlanksGo)
{
    auto root = parseText("material {\n a = \"two words\"\n b = two words\n}\n");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 2u);
    EXPECT_EQ(child(*root, 0).value, "two words");
    EXPECT_EQ(child(*root, 1).value, "twowords");
}

TEST(TextParserBlanks, QuoteDirectlyAfterEqualsKeepsBlanks)
{
    auto root = parseText("shader{code=\"void main ( ) { }\"}");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(child(*root, 0).kind, TextNode::Value);
    EXPECT_EQ(child(*root, 0).name, "code");
    EXPECT_EQ(child(*root, 0).value, "void main ( ) { }");
}

TEST(TextParserLines, QuotedValueSpansLinesAndKeepsThem)
{
    auto root = parseText("shader {\n code = \"line one\n\tline = two {\n}\"\n}");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(child(*root, 0).value, "line one\n\tline = two {\n}");
}

TEST(TextParserLines, KeyEqualsAndValueOnSeparateLines)
{
    auto root = parseText("material\n{\nisDoubleSided\n=\ntrue\n}");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(child(*root, 0).name, "isDoubleSided");
    EXPECT_EQ(child(*root, 0).value, "true");
}

TEST(TextParserLines, CarriageReturnLineFeedReadsAsLineFeed)
{
    std::string dir = OrvantaTest::makeTempDir("parser");
    std::string path = OrvantaTest::writeTextFile(dir, "crlf.material",
                                                  "material {\r\n a = 1\r\n b = \"x\r\ny\"\r\n}\r\n");
    auto root = parseFile(path);
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 2u);
    EXPECT_EQ(child(*root, 0).value, "1");
    EXPECT_EQ(child(*root, 1).value, "x\ny");
}

TEST(TextParserStructure, NestedBlocksAndRepeatedKeysKeepFileOrder)
{
    auto root = parseText("material {\n a = 1\n pass {\n type = SKY\n inner { } }\n a = 2 }");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->name, "material");
    ASSERT_EQ(root->children.size(), 3u);
    EXPECT_EQ(child(*root, 0).value, "1");
    EXPECT_EQ(child(*root, 1).kind, TextNode::Block);
    ASSERT_EQ(child(*root, 1).children.size(), 2u);
    EXPECT_EQ(child(child(*root, 1), 1).name, "inner");
    EXPECT_EQ(child(*root, 2).name, "a");
    EXPECT_EQ(child(*root, 2).value, "2");
}

TEST(TextParserStructure, MissingClosingBracesStillGiveTheWholeTree)
{
    auto root = parseText("material { pass { type = SKY\n fragmentShader = f.shader");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 1u);
    ASSERT_EQ(child(*root, 0).children.size(), 2u);
    EXPECT_EQ(child(child(*root, 0), 1).value, "f.shader");
}

TEST(TextParserStructure, OnlyTheFirstTopLevelBlockIsRead)
{
    auto root = parseText("first { a = 1 } second { b = 2 }");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->name, "first");
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(child(*root, 0).name, "a");
}

TEST(TextParserStructure, EmptyOrBlankTextGivesNoTree)
{
    EXPECT_FALSE(parseText(""));
    EXPECT_FALSE(parseText("  \n\t\n  "));
    EXPECT_FALSE(parseText("material"));
    EXPECT_FALSE(parseText("{ a = 1 }"));
    EXPECT_FALSE(parseFile("/nonexistent/dir/none.material"));
}

TEST(TextParserStructure, TwoQuotesAreAnEmptyValue)
{
    auto root = parseText("m { a = \"\" b = \"=\" }");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 2u);
    EXPECT_EQ(child(*root, 0).kind, TextNode::Value);
    EXPECT_EQ(child(*root, 0).value, "");
    // The value after "=" is taken whatever its class.
    EXPECT_EQ(child(*root, 1).value, "=");
}

TEST(TextParserMalformed, StrayEqualsEndsAllBlocksWithTheTreeSoFar)
{
    auto root = parseText("m {\n a = 1\n p {\n b = 2\n = c = 3 }\n d = 4 }");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 2u);
    ASSERT_EQ(child(*root, 1).children.size(), 1u);
    EXPECT_EQ(child(child(*root, 1), 0).name, "b");
}

TEST(TextParserMalformed, WordFollowedByWordOrTrailingWordEndsTheParse)
{
    auto twoWords = parseText("m { a = 1\n word other\n b = 2 }");
    ASSERT_TRUE(twoWords);
    ASSERT_EQ(twoWords->children.size(), 1u);

    auto trailing = parseText("m { a = 1 last");
    ASSERT_TRUE(trailing);
    ASSERT_EQ(trailing->children.size(), 1u);

    auto equalsAtEnd = parseText("m { a =");
    ASSERT_TRUE(equalsAtEnd);
    EXPECT_TRUE(equalsAtEnd->children.empty());
}

TEST(TextParserMalformed, UnclosedQuoteTakesTheRestOfTheText)
{
    std::vector<std::string> tokens = tokenizeText("m { a = \"open to the end }\n");
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_EQ(tokens[4], "open to the end }\n");
    auto root = parseText("m { a = \"open to the end }\n");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(child(*root, 0).value, "open to the end }\n");
}

TEST(TextParserMalformed, SurplusClosingBraceEndsTheRoot)
{
    auto root = parseText("m { a = 1 } } b = 2");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 1u);
}

TEST(TextParserTokens, CommentCharactersAreOrdinaryWordCharacters)
{
    std::vector<std::string> tokens = tokenizeText("// note#1 = x");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0], "//note#1");
    EXPECT_EQ(tokens[1], "=");
    EXPECT_EQ(tokens[2], "x");
}

namespace {

TextNode valueNode(const std::string& name, const std::string& value)
{
    TextNode node;
    node.kind = TextNode::Value;
    node.name = name;
    node.value = value;
    return node;
}

bool sameTree(const TextNode& a, const TextNode& b)
{
    if (a.kind != b.kind || a.name != b.name || a.value != b.value || a.children.size() != b.children.size())
        return false;
    for (size_t i = 0; i < a.children.size(); ++i)
        if (!sameTree(a.children[i], b.children[i]))
            return false;
    return true;
}

}  // namespace

TEST(TextWriter, WrittenTreesReadBackAsTheSameTree)
{
    TextNode pass;
    pass.name = "pass";
    pass.children = {valueNode("type", "DEFERRED_WRITE"), valueNode("fileName", "resources/a b/c.tga"),
                     valueNode("empty", ""), valueNode("brace", "{"), valueNode("lines", "one\ntwo")};
    TextNode empty;
    empty.name = "semantics";
    pass.children.push_back(empty);
    TextNode root;
    root.name = "material";
    root.children = {valueNode("isDoubleSided", "true"), pass, valueNode("isDoubleSided", "false")};

    std::string text, error;
    ASSERT_TRUE(formatText(root, text, error)) << error;
    std::unique_ptr<TextNode> read = parseText(text);
    ASSERT_TRUE(read);
    EXPECT_TRUE(sameTree(*read, root)) << text;
}

TEST(TextWriter, NamesAndValuesTheFormatCannotHoldAreRefusedByName)
{
    std::string text, error;
    TextNode root;
    root.name = "material";
    root.children = {valueNode("texture", "say \"hi\"")};
    EXPECT_FALSE(formatText(root, text, error));
    EXPECT_NE(error.find("texture"), std::string::npos) << error;
    root.children = {valueNode("two words", "x")};
    EXPECT_FALSE(formatText(root, text, error));
    EXPECT_NE(error.find("two words"), std::string::npos) << error;
    EXPECT_FALSE(formatText(valueNode("root", "value"), text, error));
}
