// replaced by the views / panels work
#include "app/views/View3D.h"

void CView3D::OnUpdate(int hint, const CMDIChildFrame* frame)
{
    (void)hint;
    (void)frame;
    update();
}
