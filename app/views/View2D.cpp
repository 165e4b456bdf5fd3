// replaced by the views / panels work
#include "app/views/View2D.h"

void CView2D::OnUpdate(int hint, const CMDIChildFrame* frame)
{
    (void)hint;
    (void)frame;
    update();
}
