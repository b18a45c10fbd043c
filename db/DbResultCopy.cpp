#include "db/DbResultCopy.h"

#include "db/BackendRegistry.h"

#include <algorithm>
#include <type_traits>

namespace {

template <typename Recordset> void describe(const Recordset& recordset, std::vector<std::string>& names, int& rows)
{
    rows = std::max(0, static_cast<int>(recordset.recordCount()));
    for (int i = 0; i < recordset.fieldCount(); ++i)
        names.push_back(recordset.fieldName(i));
}

} // namespace

DbResultCopy DbResultCopy::ofCurrentResult()
{
    DbResultCopy copy;
    BackendRegistry* registry = BackendRegistry::instance();
    if (registry == nullptr)
        return copy;
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        describe(registry->sqliteRecordset(), copy.names_, copy.rows_);
        copy.recordset_ = registry->sqliteRecordset();
        break;
    case DbKind::Mysql:
        describe(registry->mysqlRecordset(), copy.names_, copy.rows_);
        copy.recordset_ = registry->mysqlRecordset();
        break;
    default:
        break;
    }
    return copy;
}

std::string DbResultCopy::text(int row, int column) const
{
    std::string out;
    if (row < 0 || row >= rows_ || column < 0 || column >= columnCount())
        return out;
    const std::string& name = names_[static_cast<std::size_t>(column)];
    std::visit(
        [&](auto& recordset) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(recordset)>, std::monostate>) {
                if (recordset.moveTo(row))
                    recordset.readText(name, out);
            }
        },
        recordset_);
    return out;
}
