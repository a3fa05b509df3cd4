#include "platform/tab_control.h"

#include "engine_kit/failure.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace velscript {

TabControl::TabControl(QWidget* parent) : QWidget(parent), m_strip(new QTabBar(this))
{
    m_strip->setObjectName(QStringLiteral("tabStrip"));
    m_strip->setDrawBase(false);
    m_strip->setExpanding(false);
    connect(m_strip, &QTabBar::currentChanged, this, [this] {
        showCurrentContainer();
        if (!m_quiet)
            emit pageChanged();
    });
}

int TabControl::addPage(const QString& caption)
{
    // The first page added becomes current in the strip; that is construction, not a change.
    m_quiet = true;
    const int page = m_strip->addTab(caption);
    m_quiet = false;
    m_containers.resize(m_strip->count(), nullptr);
    m_strip->resize(m_strip->sizeHint().width(), m_strip->sizeHint().height());
    return page;
}

void TabControl::setPageContainer(int page, QWidget* container)
{
    if (page < 0 || page >= pageCount())
        throw Failure(QStringLiteral("The tab control has no page %1.").arg(page));
    container->setParent(this);
    m_containers[page] = container;
    showCurrentContainer();
}

int TabControl::pageCount() const
{
    return m_strip->count();
}

int TabControl::currentPage() const
{
    return m_strip->currentIndex();
}

void TabControl::setCurrentPage(int page)
{
    if (page < 0 || page >= pageCount())
        throw Failure(QStringLiteral("Invalid page %1: the tab control has %2 pages.")
                          .arg(page)
                          .arg(pageCount()));
    m_strip->setCurrentIndex(page);
}

void TabControl::showCurrentContainer()
{
    // Hide first, so that focus never rests on a control of a page that goes out of view.
    for (int page = 0; page < int(m_containers.size()); ++page)
        if (m_containers[page] && page != currentPage())
            m_containers[page]->hide();
    if (currentPage() >= 0 && currentPage() < int(m_containers.size()) &&
        m_containers[currentPage()])
        m_containers[currentPage()]->show();
}

void TabControl::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(0, m_strip->height() - 1, 0, 0);
    frame.tabBarSize = m_strip->size();
    frame.shape = QTabBar::RoundedNorth;
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

void TabControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_strip->resize(qMin(width(), m_strip->sizeHint().width()), m_strip->sizeHint().height());
}

} // namespace velscript

#include "moc_tab_control.cpp" // compiled here, with the precompiled Qt headers of this file
