#include "sp/filters/spColumn1Tables.h"

#include "sp/filters/spColumn1Kernels.h"

namespace {

spColumnTables Build()
{
    using namespace spColumn1;
    const spVerticalBlock vertical = VerticalBlock();
    spColumnTables t{};
    t.kernelSet1.vertical = vertical;
    t.kernelSet1.gaussRowPass3x3 = GaussRowPass3x3Run();
    t.kernelSet1.rowPass5x5 = RowPass5x5Run();
    t.kernelSet1.colPass5x5 = ColPass5x5Run();
    t.laplaceHipass3x3 = {CentreMinusSum3Run(), vertical};
    t.lowpass = {Sum5Run(), Mean5Run(), Slide5Run(), vertical, Mean3Run()};
    t.hipass5x5 = {Sum5Run(), Hipass5Run(), Slide5Run()};
    t.sharpen = {vertical, SharpenRun()};
    t.sobelVert = {vertical, HorizDiffRun()};
    t.sobelHoriz = {SmoothRun(), RowPairDiffRun()};
    return t;
}

} // namespace

const spColumnTables& spColumn1Tables()
{
    static const spColumnTables tables = Build();
    return tables;
}
