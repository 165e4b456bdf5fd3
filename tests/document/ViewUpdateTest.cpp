// UpdateAllViews: every registered view but the sender hears the hint and the frame.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "document/MDIDoc.h"

namespace {

struct Update {
    int view;
    int hint;
    const CMDIChildFrame* frame;
    bool operator==(const Update&) const = default;
};

class RecordingView : public IDocumentView {
public:
    RecordingView(int id, std::vector<Update>& log) : m_id(id), m_log(log) {}
    void OnUpdate(int hint, const CMDIChildFrame* frame) override
    {
        m_log.push_back({m_id, hint, frame});
        if (onUpdate)
            onUpdate();
    }
    std::function<void()> onUpdate;

private:
    int m_id;
    std::vector<Update>& m_log;
};

const CMDIChildFrame* FrameTag(int n)
{
    // Distinct addresses stand for distinct frames; the core never looks behind them.
    alignas(16) static const char tags[64] = {};
    return reinterpret_cast<const CMDIChildFrame*>(&tags[16 * n]);
}

} // namespace

class ViewUpdate : public testing::Test {
protected:
    void SetUp() override
    {
        for (RecordingView* view : {&a, &b, &c})
            doc.AddView(view);
    }

    std::vector<Update> log;
    RecordingView a{1, log}, b{2, log}, c{3, log};
    CMDIDoc doc;
};

TEST_F(ViewUpdate, EveryViewButTheSenderHearsHintAndFrame)
{
    doc.AddView(&b);  // registered once only
    doc.UpdateAllViews(&b, kHintColors, FrameTag(1));
    doc.UpdateAllViews(nullptr, kHintSurface, nullptr);
    EXPECT_EQ(log, (std::vector<Update>{{1, 4, FrameTag(1)}, {3, 4, FrameTag(1)},
                                        {1, 5, nullptr}, {2, 5, nullptr}, {3, 5, nullptr}}));
}

TEST_F(ViewUpdate, ViewsClosedDuringAnUpdateHearNoMore)
{
    a.onUpdate = [&] { doc.RemoveView(&b); };
    doc.UpdateAllViews(nullptr, kHintRepaint, nullptr);
    doc.RemoveView(&a);
    doc.UpdateAllViews(nullptr, kHintInitial, nullptr);
    EXPECT_EQ(log, (std::vector<Update>{{1, 6, nullptr}, {3, 6, nullptr}, {3, 0, nullptr}}));
}
