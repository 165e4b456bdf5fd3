#include "platform/qt/View.h"

#include "platform/qt/Document.h"

CView::~CView()
{
    if (m_pDocument != nullptr)
        m_pDocument->RemoveView(this);
}

CMDIDoc& CView::Doc() const
{
    return m_pDocument->Doc();
}
