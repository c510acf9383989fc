#include "chart/ValueList.h"

#include <cmath>

void TChartValueList::SetMultiplier(double m)
{
    if (multiplier_ != m) {
        multiplier_ = m;
        modified_ = true;
    }
}

void TChartValueList::SetStoredAt(int index, double v)
{
    values_[static_cast<size_t>(index)] = v;
    modified_ = true;
}

void TChartValueList::Recalc()
{
    if (!modified_)
        return;
    if (values_.empty()) {
        total_ = absTotal_ = max_ = min_ = 0;
    } else {
        double v = ValueAt(0);
        max_ = min_ = total_ = v;
        absTotal_ = std::fabs(v);
        for (int i = 1; i < Count(); ++i) {
            v = ValueAt(i);
            if (v < min_)
                min_ = v;
            else if (v > max_)
                max_ = v;
            total_ += v;
            absTotal_ += std::fabs(v);
        }
    }
    modified_ = false;
}

double TChartValueList::Total()
{
    Recalc();
    return total_;
}
double TChartValueList::AbsoluteTotal()
{
    Recalc();
    return absTotal_;
}
double TChartValueList::Maximum()
{
    Recalc();
    return max_;
}
double TChartValueList::Minimum()
{
    Recalc();
    return min_;
}

void TChartValueList::SetCachedAbsoluteTotal(double v)
{
    Recalc();
    absTotal_ = v;
}

int TChartValueList::InsertPosition(double x) const
{
    int n = Count();
    if (order_ == loNone || n == 0)
        return n;
    int i = n - 1;
    if (order_ == loAscending) {
        if (values_[static_cast<size_t>(i)] <= x)
            return n;
        while (i >= 0 && values_[static_cast<size_t>(i)] > x)
            --i;
    } else {
        if (values_[static_cast<size_t>(i)] >= x)
            return n;
        while (i >= 0 && values_[static_cast<size_t>(i)] < x)
            --i;
    }
    return i + 1;
}

void TChartValueList::InsertAt(int index, double v)
{
    values_.insert(values_.begin() + index, v);
    modified_ = true;
}

void TChartValueList::DeleteAt(int index)
{
    values_.erase(values_.begin() + index);
    modified_ = true;
}

void TChartValueList::Clear()
{
    std::vector<double>().swap(values_);
    modified_ = true;
}

void TChartValueList::Renumber()
{
    for (size_t i = 0; i < values_.size(); ++i)
        values_[i] = static_cast<double>(i);
    modified_ = true;
}
