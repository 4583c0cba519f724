// The results of a pre-run: an ordered list of check blocks, one per
// reported group, each holding the records of its kind. The checks append
// their blocks in the order they run; the report and the document list them
// in that order.
#ifndef TAVEX_PRERUN_PRERUN_RESULTS_H
#define TAVEX_PRERUN_PRERUN_RESULTS_H

#include "geodesy/kz_string.h"
#include "messages/string_loader.h"
#include "output/xml_records_prerun.h"
#include "platform/typed_ptr_array.h"

namespace Tavex {

enum PreRunCheckKind : int {
    CHECK_REPEATED_OBSERVATIONS = 0,
    CHECK_APPROXIMATE_COORDINATES = 1,
    CHECK_CONFIGURATION_DEFECTS = 2,
    CHECK_COINCIDING_STATIONS = 3,
    CHECK_IDENTICAL_OBSERVATIONS = 4,
};

using CVelnikObservationsPtrArray = CTypedPtrArray<TXXML_PRERUNOBSERVATION>;
using CVelnikConfigurationDefectsPtrArray = CTypedPtrArray<TXXML_PRERUNCONFIGURATIONDEFECT>;
using CVelnikCoincidingPtrArray = CTypedPtrArray<TXXML_PRERUNCOINCIDING>;
using CVelnikObservationRecordsPtrArray = CTypedPtrArray<TXXML_PRERUNOBSERVATIONRECORD>;

class CVelnikChecks : public CObject {
public:
    int checkKind = 0;
    int observationKind = 0; // row kind of a repeated-observation block, else 0
    int titleMessage = 0;    // the string-table number of the title
    CKZString title;
    CVelnikObservationsPtrArray observations;
    CVelnikConfigurationDefectsPtrArray configurationDefects;
    CVelnikCoincidingPtrArray coinciding;
    CVelnikObservationRecordsPtrArray observationRecords;
};

class CVelnikResultsPtrArray : public CTypedPtrArray<CVelnikChecks> {
public:
    // Appends a new block of the kind under the title's message and returns
    // it.
    CVelnikChecks& AddBlock(int checkKind, int observationKind, int titleMessage) {
        auto* block = new CVelnikChecks;
        block->checkKind = checkKind;
        block->observationKind = observationKind;
        block->titleMessage = titleMessage;
        block->title = CStringL(titleMessage);
        Add(block);
        return *block;
    }
};

} // namespace Tavex

#endif
