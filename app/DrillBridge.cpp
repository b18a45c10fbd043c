#include "app/DrillBridge.h"

#include "app/AttemptBridge.h"
#include "app/RoomServices.h"
#include "attempts/AttemptStore.h"
#include "db/Database.h"
#include "exam/AppState.h"
#include "learning/DrillPlanner.h"
#include "platform/CodePage.h"

#include <random>
#include <vector>

bool DrillBridge::withPlanner(AppState& state, RoomServices& room, const std::function<bool(DrillPlanner&)>& work,
                              std::string& reason)
{
    reason.clear();
    if (Database* server = room.serverResults()) {
        DrillPlanner planner(*server, state.connection, state.recordset);
        if (work(planner))
            return true;
        reason = planner.lastErrorText();
    }
    Database local(DbKind::Sqlite);
    AttemptStore store(local);
    if (!local.open(AttemptStore::fileOptions(state.filePath(AttemptStore::fileName))) || !store.prepare()) {
        reason = local.isOpen() ? store.lastErrorText() : local.lastErrorText();
        return false;
    }
    DrillPlanner planner(local, state.connection, state.recordset);
    if (!work(planner)) {
        reason = planner.lastErrorText();
        return false;
    }
    reason.clear();
    return true;
}

int DrillBridge::drawDrill(AppState& state, RoomServices& room, const std::string& candidateId, std::string& reason,
                           const std::string& category)
{
    const std::uint32_t seed = std::random_device{}();
    std::vector<AttemptEntry> entries;
    const auto plan = [&](DrillPlanner& planner) { return planner.plan(candidateId, seed, entries, category); };
    if (!withPlanner(state, room, plan, reason))
        return 0;
    if (entries.empty())
        return 0;
    AttemptBridge::restorePaper(entries, state.paper);
    state.drill = true;
    state.paperLength = static_cast<int>(entries.size());
    return state.paperLength;
}

std::vector<DueCategory> DrillBridge::dueCategories(AppState& state, RoomServices& room, const std::string& candidateId)
{
    std::vector<DueCategory> categories;
    std::string reason;
    if (!withPlanner(
            state, room, [&](DrillPlanner& planner) { return planner.dueCategories(candidateId, categories); }, reason))
        categories.clear();
    return categories;
}

std::string DrillBridge::nothingDueText()
{
    return GBK("目前没有需要练习的错题！交卷后，答错或未答的题目会收进错题练习；连续两次答对的题目不再出现。");
}

std::string DrillBridge::failedText(const std::string& reason)
{
    std::string text = GBK("无法读取考试记录，不能生成错题练习。");
    if (!reason.empty())
        text += GBK("\r\n原因：") + reason;
    return text;
}
