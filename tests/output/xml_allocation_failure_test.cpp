// Runs the whole document frame while libxml2's allocator refuses every
// allocation after the first n, for growing n: each step must either succeed
// with a complete document or fail with a negative status, never crash, leak
// (AddressSanitizer's leak check) or hand back a truncated document.
#include "geodesy/text_encoding.h"
#include "output/xml_document.h"
#include "output/xml_status.h"

#include <libxml/parser.h>
#include <libxml/xmlmemory.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace Tavex {
namespace {

// Allocations still granted before the one refused; with refuseOnlyOne the
// allocator recovers after that refusal, otherwise it refuses every later one.
long allocationsLeft = 0;
bool refuseOnlyOne = false;
bool refused = false;

bool Grant() {
    if (allocationsLeft > 0) {
        --allocationsLeft;
        return true;
    }
    const bool grant = refuseOnlyOne && refused;
    refused = true;
    return grant;
}

void* FailingMalloc(size_t size) {
    return Grant() ? std::malloc(size) : nullptr;
}

void* FailingRealloc(void* p, size_t size) {
    return Grant() ? std::realloc(p, size) : nullptr;
}

char* FailingStrdup(const char* text) {
    const size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(FailingMalloc(size));
    if (copy != nullptr)
        std::memcpy(copy, text, size);
    return copy;
}

void Silent(void*, const char*, ...) {}

// Installs the failing allocator for its lifetime; libxml2 keeps using the
// system allocator underneath, so blocks cross the switch safely.
class FailingAllocator {
public:
    FailingAllocator(long budget, bool onlyOne) {
        xmlMemGet(&free_, &malloc_, &realloc_, &strdup_);
        allocationsLeft = budget;
        refuseOnlyOne = onlyOne;
        refused = false;
        errorHandler_ = xmlGenericError;
        errorContext_ = xmlGenericErrorContext;
        xmlSetGenericErrorFunc(nullptr, Silent);
        xmlMemSetup(std::free, FailingMalloc, FailingRealloc, FailingStrdup);
    }
    ~FailingAllocator() {
        xmlMemSetup(free_, malloc_, realloc_, strdup_);
        xmlSetGenericErrorFunc(errorContext_, errorHandler_);
    }
    FailingAllocator(const FailingAllocator&) = delete;
    FailingAllocator& operator=(const FailingAllocator&) = delete;

private:
    xmlFreeFunc free_ = nullptr;
    xmlMallocFunc malloc_ = nullptr;
    xmlReallocFunc realloc_ = nullptr;
    xmlStrdupFunc strdup_ = nullptr;
    xmlGenericErrorFunc errorHandler_ = nullptr;
    void* errorContext_ = nullptr;
};

// The frame of a run; the first negative status ends it, as in the driver.
int BuildFrame(CKZString& text) {
    CTXXmlDocument document("TAVEXV33.xsl");
    CTXXmlProject project;
    CTXXmlNode header;
    int status = document.Initialize(MakeRoot(L"METER", 0));
    if (status == kXmlOk)
        status = document.InsertProject(MakeProject(L"测试网"), project);
    if (status == kXmlOk)
        status = project.InsertSummaryHeader({L"平差", L"测试网", L"2024", L"3.3.0"}, header);
    // A section writer goes on after a failed attribute, as after a failed
    // insert; the attribute must then be missing, not half-written.
    if (status == kXmlOk)
        header.SetAttribute({"note", L"added later"});
    if (status == kXmlOk)
        status = document.XML(text);
    return status;
}

// reference without the attribute a failed SetAttribute leaves out.
std::wstring WithoutNote(std::wstring reference) {
    const std::wstring note = L" note=\"added later\"";
    const std::size_t at = reference.find(note);
    return at == std::wstring::npos ? reference : reference.erase(at, note.size());
}

// Refuses allocation number budget + 1 (and, unless onlyOne, all later ones)
// for budget = 0, 1, ... until the frame runs without a refusal.
void CheckEveryRefusal(bool onlyOne) {
    CKZString reference;
    ASSERT_EQ(BuildFrame(reference), kXmlOk); // also runs libxml2's one-time set-up
    int failures = 0;
    bool completed = false;
    for (long budget = 0; budget < 2000 && !completed; ++budget) {
        CKZString text;
        int status;
        {
            FailingAllocator allocator(budget, onlyOne);
            status = BuildFrame(text);
            completed = !refused;
        }
        if (status == kXmlOk) {
            const bool complete = text.wstr() == reference.wstr();
            EXPECT_TRUE(complete || text.wstr() == WithoutNote(reference.wstr()))
                << "budget " << budget << "\n"
                << ToUtf8(text.wstr());
        } else {
            EXPECT_LT(status, 0);
            EXPECT_TRUE(text.IsEmpty());
            ++failures;
        }
    }
    EXPECT_TRUE(completed);
    EXPECT_GT(failures, 5);
}

TEST(XmlAllocationFailure, EveryFailureIsANegativeStatusAndEverySuccessIsComplete) {
    CheckEveryRefusal(false);
}

TEST(XmlAllocationFailure, ATransientFailureIsNeverHiddenInTheText) {
    CheckEveryRefusal(true);
}

} // namespace
} // namespace Tavex
