#pragma once
// Types of the grid's aggregates (column, row, rectangle and selection
// sums, averages, minimums and maximums) and of its floating footer's
// events.

#include <functional>

#include "platform/rtl/System.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Types.h"

class TCanvas;
class TFooterPanel;

// The rectangle aggregates.
enum TCalcType { ctSum, ctAvg, ctMin, ctMax };
TF_ENUM_NAMES(TCalcType, ctSum, ctAvg, ctMin, ctMax)

// A column aggregate worked out by the application.
using TGroupCalcEvent = std::function<void(TObject* Sender, int ACol, int FromRow, int ToRow, double& Res)>;
// Paints a footer cell (or the whole footer with fsCustomPaint) instead of
// the grid's cell painter.
using TPaintFooterEvent = std::function<void(TObject* Sender, int ACol, TRect Rect, TCanvas* Canvas)>;
