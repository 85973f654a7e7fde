// kavro-screenshots OUTDIR: builds the eight parameter pages off screen, shows
// every control's default value and saves one picture per page.
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPixmap>
#include <QTabWidget>

#include <cstdio>
#include <memory>
#include <vector>

#include "params/CDlgParameterSheet.h"
#include "params/CtrlNotifySink.h"
#include "params/CtrlRegistry.h"
#include "params/CtrlTbl.h"
#include "params/PageContents.h"

namespace {

constexpr int kTabWidth = 1000;
constexpr int kTabHeight = 700;

class SilentSink : public CtrlNotifySink {
public:
    void OnCtrlNotify(QWidget*, CtrlNotification, int, int, int) override {}
    bool OnKeyDownMsg(QWidget*, QKeyEvent*) override { return false; }
};

// What the main window does once the pages exist: spin ranges, then every default.
void ShowDefaults(CtrlRegistry& registry)
{
    for (int i = 0; i < CtrlTbl::Count(); ++i) {
        const CtrlTblEntry& row = CtrlTbl::Rows()[i];
        if (row.ctrlId == 0)
            continue;
        if (row.kind == CtrlKindEdit)
            registry.SetSpinRange(row.ctrlId, row.min - row.wrap, row.max + row.wrap);
        registry.WriteCtrlValue(row.ctrlId, row.defaultValue);
    }
}

QString FileName(int pageIndex, const QString& caption)
{
    QString name = caption;
    name.replace(' ', '-');
    return QStringLiteral("page-%1-%2.png").arg(pageIndex).arg(name);
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kavro-screenshots OUTDIR\n");
        return 2;
    }
    const QDir outDir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(outDir.path())) {
        std::fprintf(stderr, "kavro-screenshots: cannot create %s\n", argv[1]);
        return 1;
    }

    // The pages sit in a tab widget of the main window's size, as the user sees them.
    SilentSink sink;
    CtrlRegistry registry;
    QTabWidget tabs;
    tabs.resize(kTabWidth, kTabHeight);
    std::vector<CDlgParameterSheet*> pages;
    const std::vector<PageContent>& contents = PageContents();
    for (size_t i = 0; i < contents.size(); ++i) {
        auto page = new CDlgParameterSheet(contents[i], static_cast<int>(i), registry, sink);
        tabs.addTab(page, page->GetPageTitle());
        pages.push_back(page);
    }
    ShowDefaults(registry);
    // A page too large for the main window's tabs shows at its real size
    // (and too large) rather than squeezed.
    tabs.resize(tabs.size().expandedTo(tabs.minimumSizeHint()));
    tabs.show();

    int failures = 0;
    for (CDlgParameterSheet* page : pages) {
        tabs.setCurrentWidget(page);
        QApplication::processEvents();
        const QString file = outDir.filePath(FileName(page->GetPageIndex(), page->GetPageTitle()));
        if (!tabs.grab().save(file)) {
            std::fprintf(stderr, "kavro-screenshots: cannot write %s\n", qPrintable(file));
            ++failures;
            continue;
        }
        std::printf("%s (page needs %dx%d)\n", qPrintable(file), page->minimumSizeHint().width(),
                    page->minimumSizeHint().height());
    }
    return failures == 0 ? 0 : 1;
}
