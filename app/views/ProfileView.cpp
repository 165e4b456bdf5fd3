// replaced by the views / panels work
#include "app/views/ProfileView.h"

void CProfileView::OnUpdate(int hint, const CMDIChildFrame* frame)
{
    (void)hint;
    (void)frame;
    update();
}
