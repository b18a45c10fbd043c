#pragma once

#include "platform/gui/WindowDescription.h"

// The history of attempts: a filter by identity-card number (administrator
// only), the list, the buttons for the old report, the chart and the exports,
// and an HTML view below the list that shows the chart or a report.
platform::WindowDescription historyWindowLayout();
