#include "platform/ui/CSliderCtrl.h"

#include <QSlider>

namespace {
QSlider* SliderOf(QWidget* pWidget) { return qobject_cast<QSlider*>(pWidget); }
} // namespace

void CSliderCtrl::SetRange(int nMin, int nMax, BOOL)
{
    if (QSlider* pSlider = SliderOf(m_pWidget)) {
        // Setting the range must not report a move: the position is the program's, not the user's.
        const bool blocked = pSlider->blockSignals(true);
        pSlider->setRange(nMin, nMax);
        pSlider->blockSignals(blocked);
    }
}

int CSliderCtrl::GetRangeMin() const { return SliderOf(m_pWidget) ? SliderOf(m_pWidget)->minimum() : 0; }
int CSliderCtrl::GetRangeMax() const { return SliderOf(m_pWidget) ? SliderOf(m_pWidget)->maximum() : 0; }
int CSliderCtrl::GetPos() const { return SliderOf(m_pWidget) ? SliderOf(m_pWidget)->value() : 0; }

void CSliderCtrl::SetPos(int nPos)
{
    if (QSlider* pSlider = SliderOf(m_pWidget)) {
        const bool blocked = pSlider->blockSignals(true);
        pSlider->setValue(nPos);
        pSlider->blockSignals(blocked);
    }
}

BOOL CSliderCtrl::SetTic(int nTic)
{
    QSlider* pSlider = SliderOf(m_pWidget);
    if (!pSlider || nTic < pSlider->minimum() || nTic > pSlider->maximum())
        return FALSE;
    m_tics.push_back(nTic);
    pSlider->setTickPosition(QSlider::TicksBelow);
    return TRUE;
}

void CSliderCtrl::SetTicFreq(int nFreq)
{
    if (QSlider* pSlider = SliderOf(m_pWidget)) {
        pSlider->setTickInterval(nFreq);
        pSlider->setTickPosition(QSlider::TicksBelow);
    }
}

int CSliderCtrl::GetTicFreq() const { return SliderOf(m_pWidget) ? SliderOf(m_pWidget)->tickInterval() : 0; }
