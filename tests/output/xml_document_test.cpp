// Builds result documents, serialises them and reads them back with libxml2's
// parser, which is independent of the writer's tree-building code.
#include "geodesy/text_encoding.h"
#include "output/output_names.h"
#include "output/xml_document.h"
#include "output/xml_status.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

namespace Tavex {
namespace {

using ParsedDocument = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

ParsedDocument Parse(const std::string& bytes) {
    return ParsedDocument(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "result.xml",
                                        nullptr, XML_PARSE_NONET),
                          xmlFreeDoc);
}

std::string Name(const xmlNode* node) {
    return reinterpret_cast<const char*>(node->name);
}

// Attribute value as UTF-8, or "<absent>".
std::string Attribute(const xmlNode* element, const char* name) {
    xmlChar* value = xmlGetProp(element, reinterpret_cast<const xmlChar*>(name));
    if (value == nullptr)
        return "<absent>";
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

// First element child named name, or null.
const xmlNode* Child(const xmlNode* parent, const char* name) {
    for (const xmlNode* c = parent->children; c != nullptr; c = c->next) {
        if (c->type == XML_ELEMENT_NODE && Name(c) == name)
            return c;
    }
    return nullptr;
}

std::uint64_t Bits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

// Root, project and summary header of an adjustment document, serialised.
struct BuiltDocument {
    int status = kXmlOk;
    std::string bytes;
};

BuiltDocument Build(const CKZString& linearUnit, int angleUnit, const CKZString& networkName) {
    BuiltDocument built;
    CTXXmlDocument document(StylesheetName(RunKind::Adjustment));
    CTXXmlProject project;
    CTXXmlNode header;
    CKZString text;
    built.status = document.Initialize(MakeRoot(linearUnit, angleUnit));
    if (built.status == kXmlOk)
        built.status = document.InsertProject(MakeProject(networkName), project);
    if (built.status == kXmlOk)
        built.status = project.InsertSummaryHeader(
            {L"平差", networkName, L"2024-05-17T14:03:09", L"3.3.0"}, header);
    if (built.status == kXmlOk)
        built.status = document.XML(text);
    built.bytes = ToUtf8(text.wstr());
    return built;
}

TEST(XmlDocument, FrameReadsBackWithStylesheetRootProjectAndHeader) {
    const BuiltDocument built = Build(L"meter", 2, L"Ring 7");
    ASSERT_EQ(built.status, kXmlOk);
    EXPECT_EQ(built.bytes.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u);
    EXPECT_NE(built.bytes.find("\n  <Project"), std::string::npos) << "indented";

    const ParsedDocument parsed = Parse(built.bytes);
    ASSERT_NE(parsed, nullptr) << built.bytes;
    // The stylesheet instruction comes before the root.
    const xmlNode* first = parsed->children;
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->type, XML_PI_NODE);
    EXPECT_EQ(Name(first), "xml-stylesheet");
    EXPECT_STREQ(reinterpret_cast<const char*>(first->content),
                 "type=\"text/xsl\" href=\"TAVEXV33.xsl\"");
    EXPECT_EQ(first->next, xmlDocGetRootElement(parsed.get()));

    const xmlNode* root = xmlDocGetRootElement(parsed.get());
    EXPECT_EQ(Name(root), "Result");
    ASSERT_NE(root->ns, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(root->ns->href), "urn:tavex:result:3.3");
    EXPECT_EQ(Attribute(root, "product"), "TAVEX");
    EXPECT_EQ(Attribute(root, "version"), "3.3.0");
    EXPECT_EQ(Attribute(root, "publisher"), "TAVEX developers");
    EXPECT_EQ(Attribute(root, "linearUnitCode"), "1");
    EXPECT_EQ(Attribute(root, "angleUnitCode"), "2");

    const xmlNode* project = Child(root, "Project");
    ASSERT_NE(project, nullptr);
    EXPECT_EQ(project->ns, root->ns) << "one namespace for the whole vocabulary";
    EXPECT_EQ(Attribute(project, "name"), "Ring 7");
    EXPECT_EQ(std::strtod(Attribute(project, "meanHeight").c_str(), nullptr), 2147483647.0);
    EXPECT_EQ(std::strtod(Attribute(project, "geoidSeparation").c_str(), nullptr), 2147483647.0);
    EXPECT_EQ(Attribute(project, "stationCount"), "0");
    EXPECT_EQ(Attribute(project, "observationCount"), "0");
    EXPECT_EQ(Attribute(project, "varianceFactor"), "0");

    const xmlNode* header = Child(project, "SummaryHeader");
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(Attribute(header, "run"), "\xE5\xB9\xB3\xE5\xB7\xAE"); // 平差
    EXPECT_EQ(Attribute(header, "network"), "Ring 7");
    EXPECT_EQ(Attribute(header, "dateTime"), "2024-05-17T14:03:09");
    EXPECT_EQ(Attribute(header, "version"), "3.3.0");
}

TEST(XmlDocument, RootCarriesTheUnitCodesOfTheProjectSettings) {
    const struct {
        const wchar_t* unit;
        int angleUnit;
        const char* linearCode;
        const char* angleCode;
    } cases[] = {{L"meter", 0, "1", "0"},
                 {L"METER", 1, "1", "1"},
                 {L"USSurveyFoot", 2, "2", "2"},
                 {L"IntSurveyFoot", -1, "3", "0"},
                 {L"feet", 3, "1", "0"}};
    for (const auto& c : cases) {
        const BuiltDocument built = Build(c.unit, c.angleUnit, L"N");
        ASSERT_EQ(built.status, kXmlOk);
        const ParsedDocument parsed = Parse(built.bytes);
        ASSERT_NE(parsed, nullptr);
        const xmlNode* root = xmlDocGetRootElement(parsed.get());
        EXPECT_EQ(Attribute(root, "linearUnitCode"), c.linearCode) << ToUtf8(c.unit);
        EXPECT_EQ(Attribute(root, "angleUnitCode"), c.angleCode);
    }
}

TEST(XmlDocument, EmptyNetworkNameGivesProjectAndChineseTextStaysUtf8) {
    const ParsedDocument unnamed = Parse(Build(L"m", 0, L"").bytes);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(Attribute(Child(xmlDocGetRootElement(unnamed.get()), "Project"), "name"), "Project");

    const BuiltDocument chinese = Build(L"m", 0, L"测试网");
    const std::string utf8 = "\xE6\xB5\x8B\xE8\xAF\x95\xE7\xBD\x91"; // U+6D4B U+8BD5 U+7F51
    // Written as raw UTF-8 bytes, not as character references.
    EXPECT_NE(chinese.bytes.find("name=\"" + utf8 + "\""), std::string::npos);
    const ParsedDocument parsed = Parse(chinese.bytes);
    ASSERT_NE(parsed, nullptr);
    EXPECT_EQ(Attribute(Child(xmlDocGetRootElement(parsed.get()), "Project"), "name"), utf8);
}

// A document with a project, for the attribute tests below.
class XmlAttributes : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(document.Initialize(MakeRoot(L"METER", 0)), kXmlOk);
        ASSERT_EQ(document.InsertProject(MakeProject(L"N"), project), kXmlOk);
    }
    // The project element of the serialised and re-parsed document.
    const xmlNode* ReadProject() {
        CKZString text;
        EXPECT_EQ(document.XML(text), kXmlOk);
        parsed = Parse(ToUtf8(text.wstr()));
        return parsed ? Child(xmlDocGetRootElement(parsed.get()), "Project") : nullptr;
    }

    CTXXmlDocument document{"TAVEXV33.xsl"};
    CTXXmlProject project;
    ParsedDocument parsed{nullptr, xmlFreeDoc};
};

TEST_F(XmlAttributes, RealsReadBackBitForBit) {
    const double values[] = {0.1 + 0.2,
                             1.0 / 3.0,
                             298.257223563,
                             6378137.000000001,
                             -0.0,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max(),
                             -1.2345678901234567e-300};
    const char* names[] = {"a", "b", "c", "d", "e", "f", "g", "h"};
    CTXXmlNode reals;
    ASSERT_EQ(project.InsertChild("Reals", reals), kXmlOk);
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(reals.SetAttribute({names[i], values[i]}), kXmlOk);
    const xmlNode* read = ReadProject();
    ASSERT_NE(read, nullptr);
    const xmlNode* element = Child(read, "Reals");
    ASSERT_NE(element, nullptr);
    for (int i = 0; i < 8; ++i) {
        const double back = std::strtod(Attribute(element, names[i]).c_str(), nullptr);
        EXPECT_EQ(Bits(back), Bits(values[i])) << names[i] << " " << Attribute(element, names[i]);
    }
}

TEST_F(XmlAttributes, NonFiniteRealsUseSchemaSpellings) {
    CTXXmlNode node;
    ASSERT_EQ(project.InsertChild("Special",
                                  {{"nan", std::nan("")},
                                   {"up", std::numeric_limits<double>::infinity()},
                                   {"down", -std::numeric_limits<double>::infinity()}},
                                  node),
              kXmlOk);
    const xmlNode* element = Child(ReadProject(), "Special");
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(Attribute(element, "nan"), "NaN");
    EXPECT_EQ(Attribute(element, "up"), "INF");
    EXPECT_EQ(Attribute(element, "down"), "-INF");
}

TEST_F(XmlAttributes, MarkupCharactersAreEscapedAndForbiddenOnesReplaced) {
    CTXXmlNode node;
    ASSERT_EQ(project.InsertChild("Texts",
                                  {{"markup", L"A&B <\"c\"> 'd'\ttab\nline"},
                                   {"control", L"A\x01"
                                               L"B"},
                                   {"badUtf8", "a\xFF"},
                                   {"count", 4294967295u},
                                   {"negative", -12}},
                                  node),
              kXmlOk);
    const xmlNode* element = Child(ReadProject(), "Texts");
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(Attribute(element, "markup"), "A&B <\"c\"> 'd'\ttab\nline");
    EXPECT_EQ(Attribute(element, "control"), "A\xEF\xBF\xBD"
                                             "B"); // U+FFFD
    EXPECT_EQ(Attribute(element, "badUtf8"), "a\xEF\xBF\xBD");
    EXPECT_EQ(Attribute(element, "count"), "4294967295");
    EXPECT_EQ(Attribute(element, "negative"), "-12");
}

TEST_F(XmlAttributes, FailedInsertLeavesNoElementAndOutUnbound) {
    CTXXmlNode node;
    ASSERT_EQ(project.InsertChild("Kept", node), kXmlOk);
    ASSERT_TRUE(node.IsBound());
    EXPECT_EQ(
        project.InsertChild("Half", {{"a", 1}, {"b", static_cast<const char*>(nullptr)}}, node),
        kXmlInvalidValue);
    EXPECT_FALSE(node.IsBound());
    EXPECT_EQ(project.InsertChild("Bad", {{"a b", 1}}, node), kXmlInvalidName);
    for (const char* name : {"", "a b", "a:b", "1st", "xmlThing", "XMLthing"})
        EXPECT_EQ(project.InsertChild(name, node), kXmlInvalidName) << name;
    EXPECT_EQ(project.InsertChild(nullptr, node), kXmlInvalidName);
    EXPECT_EQ(project.SetAttribute({"", 1}), kXmlInvalidName);

    const xmlNode* read = ReadProject();
    ASSERT_NE(read, nullptr);
    EXPECT_NE(Child(read, "Kept"), nullptr);
    EXPECT_EQ(Child(read, "Half"), nullptr);
    EXPECT_EQ(Child(read, "Bad"), nullptr);
}

TEST(XmlDocumentMisuse, StepsOutOfOrderFailWithNegativeStatus) {
    CTXXmlDocument document("DORAMV33.xsl");
    CTXXmlProject project;
    CKZString text(L"old");
    EXPECT_EQ(document.XML(text), kXmlNoRoot);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(document.InsertProject(MakeProject(L"N"), project), kXmlNoRoot);
    EXPECT_FALSE(project.IsBound());

    ASSERT_EQ(document.Initialize(MakeRoot(L"m", 0)), kXmlOk);
    EXPECT_EQ(document.Initialize(MakeRoot(L"m", 0)), kXmlOutOfOrder);
    ASSERT_EQ(document.InsertProject(MakeProject(L"N"), project), kXmlOk);
    CTXXmlProject second;
    EXPECT_EQ(document.InsertProject(MakeProject(L"N"), second), kXmlOutOfOrder);
    EXPECT_FALSE(second.IsBound());

    CTXXmlNode unbound;
    CTXXmlNode out;
    EXPECT_EQ(unbound.InsertSummaryHeader({}, out), kXmlNotBound);
    EXPECT_EQ(unbound.InsertChild("Any", out), kXmlNotBound);
    EXPECT_EQ(unbound.SetAttribute({"a", 1}), kXmlNotBound);
}

TEST(XmlDocumentMisuse, NodesOfADestroyedDocumentAreUnbound) {
    CTXXmlProject project;
    CTXXmlNode header;
    {
        CTXXmlDocument document("RINDELV33.xsl");
        ASSERT_EQ(document.Initialize(MakeRoot(L"m", 0)), kXmlOk);
        ASSERT_EQ(document.InsertProject(MakeProject(L"N"), project), kXmlOk);
        ASSERT_EQ(project.InsertSummaryHeader({}, header), kXmlOk);
        EXPECT_TRUE(header.IsBound());
    }
    EXPECT_FALSE(project.IsBound());
    EXPECT_EQ(project.InsertSummaryHeader({}, header), kXmlNotBound);
    EXPECT_EQ(header.SetAttribute({"a", 1.5}), kXmlNotBound);
}

TEST(XmlDocumentMisuse, NoStylesheetInstructionWithoutStylesheet) {
    for (const char* stylesheet : {static_cast<const char*>(nullptr), ""}) {
        CTXXmlDocument document(stylesheet);
        ASSERT_EQ(document.Initialize(MakeRoot(L"m", 0)), kXmlOk);
        std::string bytes;
        ASSERT_EQ(document.XmlUtf8(bytes), kXmlOk);
        const ParsedDocument parsed = Parse(bytes);
        ASSERT_NE(parsed, nullptr);
        EXPECT_EQ(parsed->children, xmlDocGetRootElement(parsed.get()));
    }
}

TEST(XmlDocumentMisuse, StylesheetNameWithQuoteStaysInsideTheInstruction) {
    CTXXmlDocument document("a\"b?>.xsl");
    ASSERT_EQ(document.Initialize(MakeRoot(L"m", 0)), kXmlOk);
    std::string bytes;
    ASSERT_EQ(document.XmlUtf8(bytes), kXmlOk);
    const ParsedDocument parsed = Parse(bytes);
    ASSERT_NE(parsed, nullptr);
    ASSERT_EQ(parsed->children->type, XML_PI_NODE);
    EXPECT_STREQ(reinterpret_cast<const char*>(parsed->children->content),
                 "type=\"text/xsl\" href=\"a&quot;b?&gt;.xsl\"");
}

} // namespace
} // namespace Tavex
