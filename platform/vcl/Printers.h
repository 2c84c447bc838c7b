#pragma once
// Printer types shared by the print settings of controls.

#include "platform/rtl/TypInfo.h"

enum TPrinterOrientation { poPortrait, poLandscape };
TF_ENUM_NAMES(TPrinterOrientation, poPortrait, poLandscape)
