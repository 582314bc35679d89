#pragma once
// One entry of the growth frontier: a cell of a grid.
struct frontier_location {
    int x = 0;
    int y = 0;
    int grid = 0;

    bool operator==(const frontier_location&) const = default;
};
