// Reading the kernel's result documents: the parsed document and its
// attributes, each read as what it must be or the reader fails naming the
// document and what is wrong.
#ifndef TAVEX_CLI_DOCUMENT_READER_H
#define TAVEX_CLI_DOCUMENT_READER_H

#include <libxml/tree.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace TavexCli {

class DocumentReader {
public:
    // Parses the document at path (no network, no external entities) and
    // finds its Project element; throws std::runtime_error naming the path
    // when it cannot be read or is not a result document.
    explicit DocumentReader(std::string path);

    const xmlNode* Project() const { return project_; }
    // The whole parsed document (its processing instructions, for example).
    xmlDoc* Document() const { return document_.get(); }

    // Throws std::runtime_error naming the document.
    [[noreturn]] void Fail(const std::string& what) const;

    // The child elements of that name (only elements: the document holds its
    // data in attributes); none for a null parent.
    static std::vector<const xmlNode*> Children(const xmlNode* parent, const char* name);
    static const xmlNode* Child(const xmlNode* parent, const char* name);

    // An attribute that must be there.
    std::string Attribute(const xmlNode* node, const char* name) const;
    // Reals as the writer spells them: the shortest decimal, NaN, INF, -INF
    // (read independently of the locale).
    double Real(const xmlNode* node, const char* name) const;
    long long Whole(const xmlNode* node, const char* name) const;
    bool Flag(const xmlNode* node, const char* name) const { return Whole(node, name) != 0; }
    // A 1-based number in [1, count].
    std::size_t Number(const xmlNode* node, const char* name, std::size_t count) const;
    // A 1-based number in [0, count], 0 for none.
    std::size_t NumberOrNone(const xmlNode* node, const char* name, std::size_t count) const;

private:
    std::string path_;
    std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> document_;
    const xmlNode* project_ = nullptr;
};

} // namespace TavexCli

#endif
