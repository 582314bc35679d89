#pragma once
// A small display-free metafile player: the drawing records of WMF and EMF files rendered straight
// into a 24-bit image by a scanline rasteriser of our own. Text, clipping regions, raster operations
// other than plain copies, and bitmaps of unknown form are skipped; every record is bounds-checked
// and the total drawing work is capped, so no metafile can read outside its bytes or run for ever.
#include "image/CRasterImage.h"

#include <vector>

struct MetafileData;

struct WmfPoint {
    double x = 0;
    double y = 0;
};

// Pixels of a 24-bit image addressed top-down (y = 0 is the top row), with a budget of pixel work.
class CRasterWmfCanvas {
public:
    CRasterWmfCanvas(CRasterImage& image, std::uint64_t budget);

    bool Exhausted() const { return m_budget == 0; }
    void Spend(std::uint64_t work) { m_budget = work >= m_budget ? 0 : m_budget - work; }
    // Spends work that must be paid in advance; false (and the budget gone) when it cannot be.
    bool Afford(std::uint64_t work)
    {
        if (work >= m_budget) {
            m_budget = 0;
            return false;
        }
        m_budget -= work;
        return true;
    }

    // Fills the polygons (each closed implicitly) by even-odd or non-zero winding at pixel centres.
    void FillPolygons(const std::vector<std::vector<WmfPoint>>& polygons, bool winding, COLORREF color);
    // The same with a hatch pattern (styles 0 to 5) in color over background (or none: -1).
    void HatchPolygons(const std::vector<std::vector<WmfPoint>>& polygons, bool winding, WORD hatch, COLORREF color,
                       LONG background);
    // A line of the given width in pixels (at most 1: one pixel wide) with round ends.
    void Line(WmfPoint a, WmfPoint b, double width, COLORREF color);
    void SetPixel(LONG x, LONG y, COLORREF color);
    LONG Width() const { return m_width; }
    LONG Height() const { return m_height; }

private:
    void Disc(WmfPoint c, double radius, COLORREF color);
    // Calls span(y, x0, x1) for each run of covered pixels [x0, x1) of row y.
    template <class Span>
    void Spans(const std::vector<std::vector<WmfPoint>>& polygons, bool winding, Span span);
    void Put(LONG x, LONG y, COLORREF color);

    CRasterImage& m_image;
    LONG m_width;
    LONG m_height;
    std::uint64_t m_budget;
};

// Plays a metafile's records into an image already created at the picture's size and filled with
// the background.
class CRasterWmfPlayer {
public:
    CRasterWmfPlayer(CRasterImage& image, const MetafileData& metafile);
    // Returns the number of records played (drawn or state records); skipped records are not counted.
    LONG Play();

    struct Pen {
        WORD style = 0; // PS_SOLID; 5 PS_NULL
        double width = 0; // logical units; 0 means one pixel
        COLORREF color = 0;
    };
    struct Brush {
        WORD style = 0; // BS_SOLID; 1 BS_NULL; 2 BS_HATCHED
        COLORREF color = 0xFFFFFF;
        WORD hatch = 0;
    };
    struct State {
        Pen pen;
        Brush brush;
        COLORREF bkColor = 0xFFFFFF;
        WORD bkMode = 2; // OPAQUE
        WORD fillMode = 1; // ALTERNATE
        WmfPoint position;
        double winOrgX = 0, winOrgY = 0, winExtX = 1, winExtY = 1;
        double vpOrgX = 0, vpOrgY = 0, vpExtX = 1, vpExtY = 1;
        bool viewportSet = false;
    };

private:
    struct Object {
        enum Kind { None, PenObject, BrushObject, Other } kind = None;
        Pen pen;
        Brush brush;
    };

    LONG PlayWmf();
    LONG PlayEmf();
    WmfPoint Map(double x, double y) const;
    double PenPixels() const;
    int AddObject(const Object& object);
    void SetObject(DWORD index, const Object& object);
    void RestoreDc(LONG which);
    void Select(const Object& object);
    void DrawShape(const std::vector<std::vector<WmfPoint>>& logical, bool closed);
    void DrawEllipse(double l, double t, double r, double b);
    void DrawRoundRect(double l, double t, double r, double b, double w, double h);
    void FillRect(double l, double t, double r, double b, COLORREF color);
    void StretchDib(const BYTE* dib, std::size_t size, double dx, double dy, double dw, double dh, LONG sx, LONG sy,
                    LONG sw, LONG sh, bool srcFromBottom);

    CRasterImage& m_image;
    const MetafileData& m_meta;
    CRasterWmfCanvas m_canvas;
    State m_state;
    std::vector<State> m_saved;
    std::vector<Object> m_objects;
    // The device frame: logical (after window/viewport) coordinates of the picture's corners.
    double m_frameLeft = 0, m_frameTop = 0, m_frameWidth = 1, m_frameHeight = 1;
};
