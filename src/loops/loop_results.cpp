// The exported loop-result classes and the object arrays they are built on.
#include "loops/loop_results.h"

#include "engine/row_weights.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Tavex {

namespace Framework {

CObject::CObject() = default;
CObject::~CObject() = default;

CObArray::CObArray() = default;
CObArray::~CObArray() = default;

int CObArray::GetSize() const {
    return static_cast<int>(items_.size());
}

int CObArray::GetUpperBound() const {
    return GetSize() - 1;
}

CObject* CObArray::GetAt(int i) const {
    return i >= 0 && i < GetSize() ? items_[static_cast<std::size_t>(i)] : nullptr;
}

CObject*& CObArray::ElementAt(int i) {
    if (i >= 0 && i < GetSize())
        return items_[static_cast<std::size_t>(i)];
    spare_ = nullptr;
    return spare_;
}

void CObArray::SetAt(int i, CObject* object) {
    if (i >= 0 && i < GetSize())
        items_[static_cast<std::size_t>(i)] = object;
}

void CObArray::SetAtGrow(int i, CObject* object) {
    if (i < 0)
        return;
    if (i >= GetSize())
        items_.resize(static_cast<std::size_t>(i) + 1, nullptr);
    items_[static_cast<std::size_t>(i)] = object;
}

int CObArray::Add(CObject* object) {
    items_.push_back(object);
    return GetSize() - 1;
}

int CObArray::Append(const CObArray& other) {
    const int first = GetSize();
    // Copy first: other may be this array.
    const std::vector<CObject*> appended = other.items_;
    items_.insert(items_.end(), appended.begin(), appended.end());
    return first;
}

void CObArray::Copy(const CObArray& other) {
    if (&other != this)
        items_ = other.items_;
}

void CObArray::InsertAt(int i, CObject* object, int count) {
    if (count <= 0)
        return;
    const std::size_t at =
        i < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(i), items_.size());
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::size_t>(count),
                  object);
}

void CObArray::InsertAt(int start, const CObArray* other) {
    if (other == nullptr)
        return;
    const std::vector<CObject*> inserted = other->items_;
    const std::size_t at =
        start < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(start), items_.size());
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), inserted.begin(),
                  inserted.end());
}

void CObArray::RemoveAt(int i, int count) {
    if (i < 0 || count <= 0 || i >= GetSize())
        return;
    const std::size_t end =
        std::min<std::size_t>(static_cast<std::size_t>(i) + count, items_.size());
    items_.erase(items_.begin() + i, items_.begin() + static_cast<std::ptrdiff_t>(end));
}

void CObArray::RemoveAll() {
    items_.clear();
}

} // namespace Framework

template class Framework::CTypedPtrArray<Framework::CObArray, CLoopResults*>;

CLoopResults::CLoopResults() : Observations(std::make_unique<CLoopObservationList>()) {}
CLoopResults::~CLoopResults() = default;

CLoopResultsPtrArray::CLoopResultsPtrArray() = default;

CLoopResultsPtrArray::~CLoopResultsPtrArray() {
    for (int i = 0; i < GetSize(); ++i)
        delete GetAt(i);
}

double LoopTestValue(double misclosure, double sd) {
    return misclosure / std::max(sd, kVarianceFloor);
}

std::unique_ptr<CLoopResults> NewLoopResult(const std::uint32_t* stations, std::size_t n, int kind,
                                            double criticalW) {
    auto loop = std::make_unique<CLoopResults>();
    loop->Stations.assign(stations, stations + n);
    loop->Kind = kind;
    loop->CriticalW = criticalW;
    return loop;
}

void SetMisclosure(CLoopResults& loop, int slot, double value, double variance, bool local) {
    // A leg of no length leaves the angles at its ends without precision
    // (their variance infinite, or 0/0); a zero lever arm times it gives
    // 0·∞. Either way the misclosure's precision is unbounded: its standard
    // deviation is infinite and its test 0, never a number that is none.
    const double sd = std::isnan(variance) ? std::numeric_limits<double>::infinity()
                                           : std::sqrt(std::max(variance, 0.0));
    double* misclosure = local ? loop.MisclosureLocal : loop.Misclosure;
    double* test = local ? loop.TestLocal : loop.Test;
    double* sds = local ? loop.SdLocal : loop.Sd;
    misclosure[slot] = value;
    sds[slot] = sd;
    test[slot] = LoopTestValue(value, sd);
}

bool HasRejectedTest(const CLoopResults& loop) {
    for (int i = 0; i < 3; ++i)
        if (IsRejected(loop.Test[i], loop.CriticalW) ||
            IsRejected(loop.TestLocal[i], loop.CriticalW))
            return true;
    return false;
}

void AddObservation(CLoopResults& loop, TXXML_LOOPOBSERVATION record) {
    loop.Observations->Add(new TXXML_LOOPOBSERVATION(std::move(record)));
}

} // namespace Tavex
