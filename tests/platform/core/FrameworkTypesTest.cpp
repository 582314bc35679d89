#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/core/CRect.h"
#include "platform/core/Random.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

TEST(CRectTest, GeometryFollowsTheFrameworkRules)
{
    CRect r(10, 20, 50, 80);
    EXPECT_EQ(r.Width(), 40);
    EXPECT_EQ(r.Height(), 60);
    EXPECT_EQ(r.Size(), CSize(40, 60));
    EXPECT_EQ(r.TopLeft(), CPoint(10, 20));
    EXPECT_EQ(r.BottomRight(), CPoint(50, 80));
    EXPECT_EQ(r.CenterPoint(), CPoint(30, 50));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(50, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(10, 80)));
    EXPECT_FALSE(r.IsRectEmpty());

    // High-English rectangles run downwards: not normal, and empty until normalised.
    CRect down(0, 0, 100, -200);
    EXPECT_TRUE(down.IsRectEmpty());
    EXPECT_FALSE(down.IsRectNull());
    down.NormalizeRect();
    EXPECT_EQ(down, CRect(0, -200, 100, 0));

    CRect i;
    EXPECT_TRUE(i.IntersectRect(CRect(0, 0, 10, 10), CRect(5, 5, 20, 20)));
    EXPECT_EQ(i, CRect(5, 5, 10, 10));
    EXPECT_FALSE(i.IntersectRect(CRect(0, 0, 10, 10), CRect(10, 0, 20, 10)));
    EXPECT_TRUE(i.IsRectNull());
    CRect u;
    EXPECT_TRUE(u.UnionRect(CRect(0, 0, 10, 10), CRect(5, -5, 20, 8)));
    EXPECT_EQ(u, CRect(0, -5, 20, 10));
    EXPECT_TRUE(u.UnionRect(CRect(), CRect(1, 2, 3, 4)));
    EXPECT_EQ(u, CRect(1, 2, 3, 4));

    CRect m(0, 0, 10, 10);
    m.InflateRect(2, 3);
    EXPECT_EQ(m, CRect(-2, -3, 12, 13));
    m.DeflateRect(2, 3);
    m.OffsetRect(5, -5);
    EXPECT_EQ(m, CRect(5, -5, 15, 5));
    m += CPoint(1, 1);
    m -= CSize(2, 2);
    EXPECT_EQ(m, CRect(4, -6, 14, 4));
    EXPECT_NE(m, CRect());
    m.SetRectEmpty();
    EXPECT_TRUE(m.IsRectNull());

    CPoint p(3, 4);
    EXPECT_EQ(p - CPoint(1, 1), CSize(2, 3));
    EXPECT_EQ(p + CSize(1, 1), CPoint(4, 5));
    p -= CSize(3, 4);
    EXPECT_EQ(p, CPoint(0, 0));
    EXPECT_EQ(sizeof(RECT), 16u);
    EXPECT_EQ(sizeof(POINT), 8u);
}

TEST(CArrayTest, GrowsInsertsAndRemoves)
{
    CArray<int> a;
    EXPECT_EQ(a.Add(5), 0);
    EXPECT_EQ(a.Add(7), 1);
    a.SetSize(4);
    EXPECT_EQ(a.GetSize(), 4);
    EXPECT_EQ(a.GetUpperBound(), 3);
    EXPECT_EQ(a[3], 0);
    a.InsertAt(1, 9, 2);
    EXPECT_EQ(a.GetCount(), 6);
    EXPECT_EQ(a[0], 5);
    EXPECT_EQ(a[1], 9);
    EXPECT_EQ(a[2], 9);
    EXPECT_EQ(a[3], 7);
    a.RemoveAt(1, 2);
    EXPECT_EQ(a[1], 7);
    a.SetAt(0, 1);
    a.ElementAt(1) = 2;
    EXPECT_EQ(a.GetAt(0) + a.GetAt(1), 3);
    CArray<int> b;
    b.Copy(a);
    EXPECT_EQ(b.Append(a), 4);
    EXPECT_EQ(b.GetSize(), 8);
    b.InsertAt(0, &a);
    EXPECT_EQ(b.GetSize(), 12);
    EXPECT_EQ(b.GetData()[0], 1);
    EXPECT_THROW(b.GetAt(12), std::out_of_range);
    EXPECT_THROW(b.RemoveAt(11, 2), std::out_of_range);
    b.SetAtGrow(15, 3);
    EXPECT_EQ(b.GetSize(), 16);
    b.RemoveAll();
    EXPECT_TRUE(b.IsEmpty());
}

namespace {
class CShapeBase : public CObject {
    DECLARE_SERIAL(CShapeBase)
};
class CShapeLeaf : public CShapeBase {
    DECLARE_SERIAL(CShapeLeaf)
};
class CPlainThing : public CObject {
    DECLARE_DYNAMIC(CPlainThing)
};
IMPLEMENT_SERIAL(CShapeBase, CObject, 3)
IMPLEMENT_SERIAL(CShapeLeaf, CShapeBase, 7)
IMPLEMENT_DYNAMIC(CPlainThing, CObject)
}

TEST(CObjectTest, SerialClassesRegisterAndCreateByName)
{
    CRuntimeClass* leaf = CRuntimeClass::FromName("CShapeLeaf");
    ASSERT_EQ(leaf, RUNTIME_CLASS(CShapeLeaf));
    EXPECT_EQ(leaf->m_wSchema, 7u);
    EXPECT_EQ(CRuntimeClass::FromName("CPlainThing"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("NoSuchClass"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);

    std::unique_ptr<CObject> obj(leaf->CreateObject());
    ASSERT_TRUE(obj);
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CShapeBase)));
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_TRUE(obj->IsSerializable());
    EXPECT_STREQ(obj->GetRuntimeClass()->m_lpszClassName, "CShapeLeaf");

    CPlainThing plain;
    EXPECT_FALSE(plain.IsKindOf(RUNTIME_CLASS(CShapeBase)));
    EXPECT_FALSE(plain.IsSerializable());
    EXPECT_EQ(RUNTIME_CLASS(CPlainThing)->CreateObject(), nullptr);
}

TEST(RandomTest, FollowsTheRuntimeSequence)
{
    // Seed 1 gives 41, 18467, 6334, 26500, 19169: the sequence a Make Maze with seed 1 draws.
    VantrelSrand(1);
    EXPECT_EQ(VantrelRand(), 41);
    EXPECT_EQ(VantrelRand(), 18467);
    EXPECT_EQ(VantrelRand(), 6334);
    EXPECT_EQ(VantrelRand(), 26500);
    EXPECT_EQ(VantrelRand(), 19169);

    // Reseeding restarts the sequence; the state follows the recurrence modulo 2^32.
    VantrelSrand(0xFFFFFFFFu);
    std::uint32_t expected = 0xFFFFFFFFu * 214013u + 2531011u;
    EXPECT_EQ(VantrelRand(), int((expected >> 16) & 0x7FFF));
    EXPECT_EQ(VantrelRandState(), expected);
    for (int i = 0; i < 10000; ++i) {
        int v = VantrelRand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, VANTREL_RAND_MAX);
    }
    VantrelSrand(unsigned(-1));
    EXPECT_EQ(VantrelRandState(), 0xFFFFFFFFu);
}
