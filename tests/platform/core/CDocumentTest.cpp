#include "platform/core/CDocument.h"
#include "platform/core/CView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
struct Call {
    int view;
    CView* sender;
    LPARAM hint;
};

class RecordingView : public CView {
public:
    RecordingView(int id, std::vector<Call>* log) : m_id(id), m_log(log) {}
    void OnUpdate(CView* pSender, LPARAM lHint, CObject*) override { m_log->push_back({m_id, pSender, lHint}); }

private:
    int m_id;
    std::vector<Call>* m_log;
};

class CountingDoc : public CDocument {
public:
    int deleted = 0;
    void DeleteContents() override { ++deleted; }
};

std::vector<int> g_cursor;
void RecordCursor(int code) { g_cursor.push_back(code); }
}

TEST(CDocumentTest, UpdatesEveryViewButTheSender)
{
    std::vector<Call> log;
    CountingDoc doc;
    RecordingView a(1, &log), b(2, &log);
    doc.AddView(&a);
    doc.AddView(&b);
    doc.AddView(&a);
    EXPECT_EQ(doc.GetViews().size(), 2u);
    EXPECT_EQ(a.GetDocument(), &doc);

    doc.UpdateAllViews(nullptr, 5);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].view, 1);
    EXPECT_EQ(log[1].view, 2);
    EXPECT_EQ(log[1].hint, 5);
    log.clear();
    doc.UpdateAllViews(&a);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].view, 2);
    EXPECT_EQ(log[0].sender, &a);

    POSITION pos = doc.GetFirstViewPosition();
    EXPECT_EQ(doc.GetNextView(pos), &a);
    EXPECT_EQ(doc.GetNextView(pos), &b);
    EXPECT_EQ(pos, nullptr);

    doc.RemoveView(&a);
    EXPECT_EQ(a.GetDocument(), nullptr);
    pos = doc.GetFirstViewPosition();
    EXPECT_EQ(doc.GetNextView(pos), &b);
    {
        RecordingView shortLived(3, &log);
        doc.AddView(&shortLived);
    }
    EXPECT_EQ(doc.GetViews().size(), 1u);
}

TEST(CDocumentTest, NewDocumentStateAndWaitCursor)
{
    CountingDoc doc;
    doc.SetModifiedFlag();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.deleted, 1);
    std::vector<std::string> recent;
    static std::vector<std::string>* s_recent = nullptr;
    s_recent = &recent;
    SetRecentFileHandler([](const char* path) { s_recent->emplace_back(path); });
    doc.SetPathName("/tmp/some/maze.mze");
    EXPECT_STREQ(doc.GetPathName(), "/tmp/some/maze.mze");
    EXPECT_STREQ(doc.GetTitle(), "maze.mze");
    // Every path names the document; an empty one leaves the title, and only bAddToMRU lists it.
    doc.SetPathName("/tmp/other/second.mze", FALSE);
    EXPECT_STREQ(doc.GetTitle(), "second.mze");
    doc.SetPathName("", FALSE);
    EXPECT_STREQ(doc.GetPathName(), "");
    EXPECT_STREQ(doc.GetTitle(), "second.mze");
    SetRecentFileHandler(nullptr);
    EXPECT_EQ(recent, (std::vector<std::string>{"/tmp/some/maze.mze"}));

    doc.BeginWaitCursor();
    SetWaitCursorHandler(RecordCursor);
    doc.BeginWaitCursor();
    doc.EndWaitCursor();
    SetWaitCursorHandler(nullptr);
    EXPECT_EQ(g_cursor, (std::vector<int>{1, -1}));

    std::vector<Call> log;
    auto* view = new RecordingView(1, &log);
    {
        CountingDoc shortDoc;
        shortDoc.AddView(view);
    }
    EXPECT_EQ(view->GetDocument(), nullptr);
    delete view;
}
