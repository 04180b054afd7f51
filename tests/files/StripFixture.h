#pragma once
// The strip's test fixture: a picture and a video folder, the strip shown on them,
// and where its cells are.
#include "common/TestSupport.h"
#include "files/CFileListView.h"
#include "files/FileDialogs.h"
#include "files/FilesTestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace stripfixture {

class Strip : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(pictures());
        QDir().mkpath(videos());
    }
    void TearDown() override { SetSaveDialogResponder(nullptr); }

    QString pictures() const { return m_dir.filePath("Picture"); }
    QString videos() const { return m_dir.filePath("Video"); }
    QString pic(const QString& name) const { return pictures() + "/" + name; }

    CFileListView& Open()
    {
        m_view = std::make_unique<CFileListView>(pictures(), videos());
        m_view->resize(162, 460);
        m_view->show();
        m_view->Refresh();
        return *m_view;
    }
    // Videos v1.avi and v2.avi, v1 selected on the videos page; `out` already
    // holds a v1.avi of its own.
    CFileListView& OpenOnTwoVideos(const QString& out)
    {
        filestest::WriteVideo(videos() + "/v1.avi", Qt::red);
        filestest::WriteVideo(videos() + "/v2.avi", Qt::blue);
        testsupport::WriteFile(out + "/v1.avi", "old");
        CFileListView& view = Open();
        view.SetPage(PageVideos);
        view.Refresh();
        view.HitTest(CellOnScreen(0));
        return view;
    }
    QRgb CellColour(int cell) const { return m_view->Offscreen().pixel(m_view->CellRect(cell).center()); }
    QPoint CellOnScreen(int cell) const { return m_view->mapToGlobal(m_view->CellRect(cell).center()); }
    void MakePictures(int n)
    {
        for (int i = 1; i <= n; ++i) {
            filestest::WritePicture(pic(QString::asprintf("Still_N%04d.jpg", i)), Qt::gray, 16, 16);
        }
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CFileListView> m_view;
};

inline bool Near(QRgb a, QColor b)
{
    return std::abs(qRed(a) - b.red()) + std::abs(qGreen(a) - b.green()) + std::abs(qBlue(a) - b.blue()) < 40;
}

} // namespace stripfixture
