#pragma once

#include "bank/BankWindow.h"

class AppState;
class RoomServices;

// Puts the statistics of the bank behind the bank window's button: the
// attempts of this PC, or in an exam room those of every PC on the server.
class StatisticsBridge {
public:
    static BankWindow::StatisticsAction bankAction(AppState& state, RoomServices& room);
};
