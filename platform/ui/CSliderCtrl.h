#pragma once
// A trackbar control of a dialog (DialogItemKind::TrackBar) over QSlider: a position within a range,
// with tick marks. Moving it reaches the dialog's OnHScroll.
#include <vector>

#include "platform/ui/CDialog.h"

class CSliderCtrl : public CDialogItem {
public:
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    int GetRangeMin() const;
    int GetRangeMax() const;
    int GetPos() const;
    void SetPos(int nPos);
    // A tick at nTic (kept for GetTics); FALSE outside the range.
    BOOL SetTic(int nTic);
    void SetTicFreq(int nFreq);
    int GetTicFreq() const;
    const std::vector<int>& GetTics() const { return m_tics; }

private:
    std::vector<int> m_tics;
};
