// The other-tools menu's export: the live measurements to a spreadsheet file.
#include "app/CMainDlg.h"
#include "liveview/LiveMeasureFeature.h"
#include "measure/MeasureExport.h"
#include "measure/MeasureListRows.h"

void CMainDlg::OnMeasureExport()
{
    RunMeasureExport(this, LiveExportRows(m_liveMeasure->Host().List()));
}
