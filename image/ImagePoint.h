// A point of an image in whole columns and rows: selections, profile ends, cropping corners.
#pragma once

struct ImagePoint {
    int x = 0;  // column
    int y = 0;  // row
};
