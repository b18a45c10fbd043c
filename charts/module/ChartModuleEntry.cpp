#include "charts/ChartDrawing.h"
#include "charts/module/ChartPainter.h"

extern "C" __attribute__((visibility("default"))) const ChartDrawing* mockexam_chart_drawing()
{
    static const ChartDrawing table{sizeof(ChartDrawing), &ChartPainter::scoreCurve, &ChartPainter::categoryBars,
                                    &ChartPainter::scoreHistogram, &ChartPainter::facilityScatter};
    return &table;
}
