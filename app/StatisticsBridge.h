#pragma once

#include "bank/BankWindow.h"

#include <functional>

class AppState;
class Database;
class RoomServices;

// Puts the statistics of the bank behind the bank window's button: the
// attempts of this PC, or in an exam room those of every PC on the server.
// The categories come from the bank the program opened, when it is given.
class StatisticsBridge {
public:
    static BankWindow::StatisticsAction bankAction(AppState& state, RoomServices& room,
                                                   std::function<Database*()> bank = {});
};
