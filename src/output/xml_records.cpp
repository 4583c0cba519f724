#include "output/xml_records.h"

namespace Tavex {

int LinearUnitCode(const CKZString& unitName) {
    if (unitName.CompareNoCase(L"USSURVEYFOOT") == 0)
        return kLinearUnitUsSurveyFoot;
    if (unitName.CompareNoCase(L"INTSURVEYFOOT") == 0)
        return kLinearUnitInternationalFoot;
    // "METER" and every name we do not know.
    return kLinearUnitMetre;
}

int AngleUnitCode(int angleUnit) {
    return (angleUnit >= 0 && angleUnit <= 2) ? angleUnit : 0;
}

TXXML_ROOT MakeRoot(const CKZString& linearUnit, int angleUnit) {
    TXXML_ROOT root;
    root.namespaceUri = kResultNamespace;
    root.publisher = kResultPublisher;
    root.product = kResultProduct;
    root.versionMajor = kResultVersionMajor;
    root.versionMinor = kResultVersionMinor;
    root.versionRevision = kResultVersionRevision;
    root.linearUnitCode = LinearUnitCode(linearUnit);
    root.angleUnitCode = AngleUnitCode(angleUnit);
    return root;
}

TXXML_PROJECT MakeProject(const CKZString& networkName) {
    TXXML_PROJECT project;
    project.name = networkName.IsEmpty() ? CKZString(L"Project") : networkName;
    return project;
}

} // namespace Tavex
