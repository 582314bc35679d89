#pragma once
// A layer object: one text block or one picture placed on the page, with its rectangle in logical units
// (thousandths of an inch, y upwards) beside the tracker rectangle that the view moves and sizes in
// device pixels of the scrolled document (window coordinates plus the scroll position).
//
// Ownership: an object owns its picture (kind 3) or its font record (kinds 1 and 2). Copying copies the
// pointers, not what they point to; whoever copies an object out of a temporary calls
// ReleaseOwnership() on the temporary before it is destroyed, so that exactly one object owns them.
// Moving (as the document's array does when it grows or removes) hands the ownership over.
#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/WinFont.h"
#include "platform/core/WinTypes.h"
#include "platform/gdi/CRectTracker.h"

class CArchive;
class CDC;
class CRasterImage;
class StoredPicture;
class CWnd;

constexpr int LAYER_BACKGROUND = 1;
constexpr int LAYER_MAZE = 2;
constexpr int LAYER_FOREGROUND = 3;
constexpr int LAYER_TEXT = 4;

class CLogicalRectTracker : public CRectTracker {
public:
    enum Kind { kindNone = 0, kindTextTransparent = 1, kindTextOpaque = 2, kindImage = 3 };

    CLogicalRectTracker() = default;
    CLogicalRectTracker(const CLogicalRectTracker& src);
    CLogicalRectTracker(CLogicalRectTracker&& src) noexcept;
    ~CLogicalRectTracker() override;

    // Copies colour, selection style, handle size, tracker style, image and font pointers, kind, tracker
    // rectangle, logical rectangle, minimum size, text and layer.
    CLogicalRectTracker& operator=(const CLogicalRectTracker& src);
    // As the copy, but this object's own picture and font are freed first and the source gives up its
    // pointers.
    CLogicalRectTracker& operator=(CLogicalRectTracker&& src) noexcept;

    // Frees the picture held so far, takes ownership of pImage (may be null) and sets the kind; returns 1.
    BOOL SetImage(CRasterImage* pImage, int nKind);
    void SetLogicalRect(int left, int top, int right, int bottom);
    // Clears the picture and font pointers without freeing them (the copy that took them owns them now).
    void ReleaseOwnership();
    // Gives the object a new, zeroed font record (settings block and font), freeing any it had.
    void NewFontRecord();

    // Draws the object in the view's mapping (thousandths of an inch) and, when selected, its frame.
    void Draw(CDC* pDC);

    // The base tracker's operations with the tracker rectangle taken back to window coordinates (minus
    // the scroll offset) for the call; the rectangle is left as it was.
    BOOL SetCursor(CWnd* pWnd, UINT nHitTest, int nScrollX, int nScrollY);
    int HitTest(CPoint point, int nScrollX, int nScrollY);
    // Tracks with the rectangle in window coordinates (no clipping window) and leaves the rectangle that
    // tracking left plus the scroll offset; returns the base tracker's result.
    BOOL Track(CWnd* pWnd, CPoint point, int nScrollX, int nScrollY, BOOL bAllowInvert = FALSE);

    // The layer-object record of a document file, both ways. Reading throws the archive's exception for
    // a record that cannot be whole (short data, bad lengths, unknown kind or layer) and then leaves this
    // object as it was. An image record whose bytes do not decode reads as kind 3 with no picture
    // (m_pImage null), which the document does not take. Storing writes pPicture, the picture already
    // encoded for this save, or else encodes it now, and throws the archive's exception when it cannot
    // be stored (StoredPicture).
    void Serialize(CArchive& ar, const StoredPicture* pPicture = nullptr);
    // Reads the record as Serialize does, except that a picture (kind 3) is left undecoded in picture,
    // for the reader to decode once it knows that the file's pictures fit the document.
    void LoadRecord(CArchive& ar, StoredPicture& picture);
    // Decodes the stored picture into this object. False when its bytes do not decode (the object then
    // holds no picture); throws CMemoryException when memory failed, not the bytes.
    bool DecodePicture(const StoredPicture& picture);

    int m_nKind = 0;
    int m_nSelectStyle = 0;
    CRect m_rectLogical;
    CRasterImage* m_pImage = nullptr;
    CString m_strText;
    COLORREF m_crText = 0;
    // The font record of kinds 1 and 2: the font dialog's settings block (its point size in tenths of a
    // point is used) and the font it describes. The block's stored font pointer is a meaningless slot;
    // m_pLogFont is the link.
    CHOOSEFONTA* m_pChooseFont = nullptr;
    LOGFONTA* m_pLogFont = nullptr;
    int m_nLayer = 0;

private:
    void DrawImage(CDC* pDC) const;
    // Every field but the text, which copies and moves take each their own way.
    void CopyFields(const CLogicalRectTracker& src);
    void FreeOwned();
};
