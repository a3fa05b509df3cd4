#pragma once

#include <QWidget>

#include <vector>

class QTabBar;

namespace velscript {

// The tab dialog control: a strip of page tabs above a page area. Each page holds one container
// widget at a fixed place; only the current page's container is shown. pageChanged follows every
// change of the current page, by the user or by setCurrentPage, and nothing else.
class TabControl : public QWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent = nullptr);

    int addPage(const QString& caption);
    // The container shown while the page is current; the control takes it as a child.
    void setPageContainer(int page, QWidget* container);

    int pageCount() const;
    int currentPage() const;
    void setCurrentPage(int page);
    QTabBar* tabStrip() const { return m_strip; }

signals:
    void pageChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showCurrentContainer();

    QTabBar* m_strip;
    std::vector<QWidget*> m_containers;
    bool m_quiet = false;
};

} // namespace velscript
