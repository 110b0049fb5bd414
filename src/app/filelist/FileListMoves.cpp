#include "app/filelist/FileListMoves.h"

#include <algorithm>
#include <numeric>
#include <set>

namespace {

// A maximal run of consecutive rows, first and last included.
struct RowRun {
    int first;
    int last;
};

std::vector<RowRun> ConsecutiveRuns(const std::vector<int>& rows)
{
    std::vector<RowRun> runs;
    for (const int row : rows) {
        if (!runs.empty() && runs.back().last + 1 == row)
            runs.back().last = row;
        else
            runs.push_back({row, row});
    }
    return runs;
}

std::vector<int> Shifted(const std::vector<int>& rows, int by)
{
    std::vector<int> shifted(rows.size());
    std::transform(rows.begin(), rows.end(), shifted.begin(), [by](int row) { return row + by; });
    return shifted;
}

std::vector<int> RowRange(int first, int count)
{
    std::vector<int> range(static_cast<size_t>(count));
    std::iota(range.begin(), range.end(), first);
    return range;
}

// Splits the list into the items at the rows (in order) and the others (in order).
std::pair<std::vector<FileListItem>, std::vector<FileListItem>> Partition(
    const std::vector<FileListItem>& list, const std::vector<int>& rows)
{
    std::vector<FileListItem> taken;
    std::vector<FileListItem> others;
    auto next = rows.begin();
    for (int row = 0; row < static_cast<int>(list.size()); ++row) {
        if (next != rows.end() && *next == row) {
            taken.push_back(list[static_cast<size_t>(row)]);
            ++next;
        } else {
            others.push_back(list[static_cast<size_t>(row)]);
        }
    }
    return {std::move(taken), std::move(others)};
}

} // namespace

std::vector<int> MoveRowsUp(std::vector<FileListItem>& list, const std::vector<int>& rows)
{
    if (rows.empty() || rows.front() == 0)
        return rows;
    for (const RowRun& run : ConsecutiveRuns(rows)) {
        const auto begin = list.begin();
        std::rotate(begin + run.first - 1, begin + run.first, begin + run.last + 1);
    }
    return Shifted(rows, -1);
}

std::vector<int> MoveRowsDown(std::vector<FileListItem>& list, const std::vector<int>& rows)
{
    if (rows.empty() || rows.back() == static_cast<int>(list.size()) - 1)
        return rows;
    for (const RowRun& run : ConsecutiveRuns(rows)) {
        const auto begin = list.begin();
        std::rotate(begin + run.first, begin + run.last + 1, begin + run.last + 2);
    }
    return Shifted(rows, +1);
}

std::vector<int> MoveRowsToTop(std::vector<FileListItem>& list, const std::vector<int>& rows)
{
    if (rows.empty())
        return rows;
    auto [taken, others] = Partition(list, rows);
    taken.insert(taken.end(), others.begin(), others.end());
    list = std::move(taken);
    return RowRange(0, static_cast<int>(rows.size()));
}

std::vector<int> MoveRowsToBottom(std::vector<FileListItem>& list, const std::vector<int>& rows)
{
    if (rows.empty())
        return rows;
    auto [taken, others] = Partition(list, rows);
    others.insert(others.end(), taken.begin(), taken.end());
    list = std::move(others);
    return RowRange(static_cast<int>(list.size() - rows.size()), static_cast<int>(rows.size()));
}

void RemoveRows(std::vector<FileListItem>& list, const std::vector<int>& rows)
{
    list = Partition(list, rows).second;
}

DroppedBlock MoveItemsToDropRow(std::vector<FileListItem>& list, const std::vector<FileListItem>& dragged, int dropRow)
{
    std::set<int> located;
    for (const FileListItem& item : dragged) {
        const auto found = std::find(list.begin(), list.end(), item);
        if (found != list.end())
            located.insert(static_cast<int>(found - list.begin()));
    }
    if (located.empty())
        return {};

    const int drop = std::clamp(dropRow, 0, static_cast<int>(list.size()));
    const auto above = std::count_if(located.begin(), located.end(), [drop](int row) { return row < drop; });
    auto [block, others] = Partition(list, std::vector<int>(located.begin(), located.end()));
    const int first = drop - static_cast<int>(above);
    others.insert(others.begin() + first, block.begin(), block.end());
    list = std::move(others);
    return {first, static_cast<int>(block.size())};
}
