#pragma once

#include "platform/gui/WindowDescription.h"

// The bank management window: the question grid on the left, the search box and
// the question editor on a panel on the right.
platform::WindowDescription bankWindowLayout();

// The import and export buttons, in the free space between the option
// previews and the editor's buttons.
std::vector<platform::ControlDescription> bankExchangeButtons();

// The statistics button, beside the export button.
platform::ControlDescription bankStatisticsButton();
// The papers button, last in the row of the import, export and statistics buttons.
platform::ControlDescription bankPapersButton();
// The category of the question in the editor and the category a search keeps
// to, in the free rows of the editor's panel.
std::vector<platform::ControlDescription> bankCategoryControls();
// The key of a multiple-answer question, typed as its letters, beside the
// category in the editor's last row.
std::vector<platform::ControlDescription> bankMultipleKeyControls();
