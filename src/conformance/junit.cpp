#include "conformance/junit.h"

#include <QFile>
#include <QXmlStreamWriter>

#include <algorithm>

namespace velscript::conformance {

namespace {

const qsizetype MessageLength = 1000;

} // namespace

std::expected<void, QString> writeJUnit(const QString& path, const QList<GroupResult>& results)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return std::unexpected(QStringLiteral("%1: %2").arg(path, file.errorString()));
    const auto failures =
        std::ranges::count_if(results, [](const GroupResult& r) { return !r.passed; });
    double seconds = 0;
    for (const GroupResult& result : results)
        seconds += result.seconds;
    const QString tests = QString::number(results.size());
    const QString failed = QString::number(failures);
    const QString time = QString::number(seconds, 'f', 3);

    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("velscript-conformance"));
    xml.writeAttribute(QStringLiteral("tests"), tests);
    xml.writeAttribute(QStringLiteral("failures"), failed);
    xml.writeAttribute(QStringLiteral("errors"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("time"), time);
    xml.writeStartElement(QStringLiteral("testsuite"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VelScript engine conformance"));
    xml.writeAttribute(QStringLiteral("tests"), tests);
    xml.writeAttribute(QStringLiteral("failures"), failed);
    xml.writeAttribute(QStringLiteral("errors"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("skipped"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("time"), time);
    for (const GroupResult& result : results) {
        xml.writeStartElement(QStringLiteral("testcase"));
        xml.writeAttribute(QStringLiteral("name"), result.name);
        xml.writeAttribute(QStringLiteral("classname"),
                           QStringLiteral("conformance.") + result.name);
        xml.writeAttribute(QStringLiteral("time"), QString::number(result.seconds, 'f', 3));
        if (!result.passed) {
            xml.writeStartElement(QStringLiteral("failure"));
            // A difference in a long log is as long as the log: the message, which CI systems
            // show in their lists, keeps its beginning; the text keeps every difference whole.
            const QString first = result.differences.value(0);
            xml.writeAttribute(QStringLiteral("message"),
                               first.size() <= MessageLength
                                   ? first
                                   : first.left(MessageLength) + QStringLiteral("..."));
            xml.writeAttribute(QStringLiteral("type"), QStringLiteral("difference"));
            xml.writeCharacters(result.differences.join(u'\n'));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError() || !file.flush())
        return std::unexpected(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return {};
}

} // namespace velscript::conformance
