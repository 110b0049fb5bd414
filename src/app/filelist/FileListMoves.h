#pragma once

#include "app/filelist/FileListItem.h"

#include <vector>

// Reordering and removal on the list itself. Rows are given sorted, unique and in range; each
// function returns the rows the moved items occupy afterwards, in ascending order. A move that
// cannot happen (up with row 0 selected, down with the last row, nothing selected) leaves the
// list as it is and returns the rows unchanged.

// Each run of consecutive rows swaps places with the row just above it.
std::vector<int> MoveRowsUp(std::vector<FileListItem>& list, const std::vector<int>& rows);

// Each run of consecutive rows swaps places with the row just below it.
std::vector<int> MoveRowsDown(std::vector<FileListItem>& list, const std::vector<int>& rows);

// The rows' items, in their order, become the first rows.
std::vector<int> MoveRowsToTop(std::vector<FileListItem>& list, const std::vector<int>& rows);

// The rows' items, in their order, become the last rows.
std::vector<int> MoveRowsToBottom(std::vector<FileListItem>& list, const std::vector<int>& rows);

// Removes the rows' items.
void RemoveRows(std::vector<FileListItem>& list, const std::vector<int>& rows);

// The block a row drop made: its first row and its length (0 when nothing moved).
struct DroppedBlock {
    int firstRow = 0;
    int count = 0;
};

// Moves dragged items to the drop row (a position between rows, 0 to the list's size). Each
// dragged item is found as the first equal item of the list; the items found are taken out and
// put back as one block where the drop row was.
DroppedBlock MoveItemsToDropRow(std::vector<FileListItem>& list, const std::vector<FileListItem>& dragged, int dropRow);
