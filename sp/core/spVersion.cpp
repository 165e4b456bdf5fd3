#include "sp/core/spVersion.h"

namespace {

constexpr char kVersionText[] = "5.1.133.274";
// The processor columns were built a day before the generic one.
constexpr char kGenericBuildDate[] = "Mar 15 2024";
constexpr char kColumnBuildDate[] = "Mar 14 2024";

constexpr spLibVersion Record(const char (&code)[3], const char* libraryName,
                              const char* buildDate)
{
    return {5, 1, 133, 274, {code[0], code[1], 0, 0}, libraryName, kVersionText, buildDate};
}

constexpr spLibVersion kRecords[spDispatchColumns] = {
    Record("px", "libsp_px", kGenericBuildDate),
    Record("a6", "libsp_a6", kColumnBuildDate),
    Record("w7", "libsp_w7", kColumnBuildDate),
    Record("t7", "libsp_t7", kColumnBuildDate),
    Record("v8", "libsp_v8", kColumnBuildDate),
};

template <int Column>
const spLibVersion* ColumnVersion()
{
    return &kRecords[Column];
}

} // namespace

const spLibVersion* spGetLibVersion_px()
{
    return ColumnVersion<0>();
}

spDispatchRow<spGetLibVersionFn> spGetLibVersionRow = {
    spGetLibVersion_px, ColumnVersion<1>, ColumnVersion<2>, ColumnVersion<3>, ColumnVersion<4>,
};

const spLibVersion* spGetLibVersion()
{
    return spGetLibVersionRow[spDispatchIndex]();
}
