// One named list of numbers of a series, with cached statistics.
//
// Protocol: owned by its series. Changes of the values go through the series
// (AddPoint, Delete, Clear); every change marks the list modified and the
// statistics are recomputed on the next read of one of them.
#pragma once

#include <string>
#include <vector>

enum TChartListOrder { loNone, loAscending, loDescending };

class TChartValueList {
public:
    TChartValueList(std::string name, TChartListOrder order) : name_(std::move(name)), order_(order) {}

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    TChartListOrder Order() const { return order_; }
    void SetOrder(TChartListOrder order) { order_ = order; }
    bool DateTime() const { return dateTime_; }
    void SetDateTime(bool v) { dateTime_ = v; }
    double Multiplier() const { return multiplier_; }
    void SetMultiplier(double m);

    int Count() const { return static_cast<int>(values_.size()); }
    // Stored value times Multiplier.
    double ValueAt(int index) const { return values_[static_cast<size_t>(index)] * multiplier_; }
    double StoredAt(int index) const { return values_[static_cast<size_t>(index)]; }
    void SetStoredAt(int index, double v);

    double Total();
    double AbsoluteTotal();
    double Maximum();
    double Minimum();
    // Overrides the cached AbsoluteTotal (the pie's own grouping keeps
    // percentages relative to the ungrouped points).
    void SetCachedAbsoluteTotal(double v);
    bool Modified() const { return modified_; }

    // Index where value x goes by Order (on stored values).
    int InsertPosition(double x) const;
    void InsertAt(int index, double v);
    void DeleteAt(int index);
    // Empties the list and gives its storage back.
    void Clear();
    // Every value becomes its own index.
    void Renumber();

private:
    void Recalc();

    std::string name_;
    TChartListOrder order_;
    bool dateTime_ = false;
    double multiplier_ = 1.0;
    std::vector<double> values_;
    double total_ = 0, absTotal_ = 0, max_ = 0, min_ = 0;
    bool modified_ = true;
};
