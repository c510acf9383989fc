// Settings of the series marks: each repaints through the series on a change.
#include "chart/Series.h"
#include "chart/SeriesMarks.h"

void TSeriesMarks::SetVisible(bool v)
{
    SetAndNotify(visible_, v, static_cast<TChangeSink*>(&series_));
}
void TSeriesMarks::SetStyle(TSeriesMarksStyle v)
{
    SetAndNotify(style_, v, static_cast<TChangeSink*>(&series_));
}
void TSeriesMarks::SetArrowLength(int v)
{
    SetAndNotify(arrowLength_, v, static_cast<TChangeSink*>(&series_));
}
void TSeriesMarks::SetArrow(const TChartPen& v)
{
    SetAndNotify(arrow_, v, static_cast<TChangeSink*>(&series_));
}
void TSeriesMarks::SetFrame(const TChartPen& v)
{
    SetAndNotify(frame_, v, static_cast<TChangeSink*>(&series_));
}
void TSeriesMarks::SetBackColor(TColor v)
{
    SetAndNotify(backColor_, v, static_cast<TChangeSink*>(&series_));
}
void TSeriesMarks::SetTransparent(bool v)
{
    SetAndNotify(transparent_, v, static_cast<TChangeSink*>(&series_));
}
void TSeriesMarks::SetClip(bool v)
{
    SetAndNotify(clip_, v, static_cast<TChangeSink*>(&series_));
}
void TSeriesMarks::SetFont(const TChartFont& v)
{
    SetAndNotify(font_, v, static_cast<TChangeSink*>(&series_));
}
