// The filter entries of the processor columns 1 to 4: the checks of the generic entries,
// steps rounded down to whole floats once, then the column's worker for one-channel floats.
#pragma once

#include "sp/filters/spFilters.h"

template <int C>
struct spVariantEntries {
    static spFilterMaskFn Gauss;
    static spFilterMaskFn Laplace;
    static spFilterMaskFn Lowpass;
    static spFilterMaskFn Hipass;
    static spFilterFixedFn Sharpen;
    static spFilterFixedFn SobelVert;
    static spFilterFixedFn SobelHoriz;
};

extern template struct spVariantEntries<1>;
extern template struct spVariantEntries<2>;
extern template struct spVariantEntries<3>;
extern template struct spVariantEntries<4>;

// A dispatch row: the generic routine, then the entry of each processor column.
#define SP_VARIANT_ROW(generic, entry)                                                          \
    {                                                                                           \
        generic, spVariantEntries<1>::entry, spVariantEntries<2>::entry,                        \
            spVariantEntries<3>::entry, spVariantEntries<4>::entry                              \
    }
