#include "platform/print/CPrintInfo.h"

#include <QPrinter>

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly) : m_bPrintSetupOnly(bPrintSetupOnly)
{
    if (bPrintSetupOnly)
        m_pd.Flags |= PD_PRINTSETUP;
}

CPrintInfo::CPrintInfo() : m_pPDOwned(std::make_unique<CPrintDialog>(FALSE)), m_pPD(m_pPDOwned.get()) {}

CPrintInfo::~CPrintInfo()
{
    if (m_pPD->m_pd.hDC)
        ::DeleteDC(m_pPD->m_pd.hDC);
}
