#pragma once

#include "officeoperations.h"

#include <QSet>
#include <QStringList>

#include <functional>

// A recording office: every call is logged as one line of text, objects are
// labelled tokens, and failures are scripted. By default the export writes a
// small file at the URL it is given, as the real office does.
class FakeOffice final : public OfficeOperations {
public:
    OfficeRef createServiceManager() override;
    OfficeRef createInstance(const OfficeRef& serviceManager, const QString& service) override;
    OfficeRef loadComponentFromURL(const OfficeRef& desktop, const QString& url,
                                   const QString& targetFrame, qint16 searchFlags,
                                   const PropertyValues& args) override;
    bool supportsService(const OfficeRef& object, const QString& service) override;
    OfficeRef getCurrentController(const OfficeRef& document) override;
    OfficeRef getFrame(const OfficeRef& controller) override;
    void executeDispatch(const OfficeRef& dispatchHelper, const OfficeRef& frame,
                         const QString& command, const QString& targetFrame, qint16 searchFlags,
                         const PropertyValues& args) override;
    void close(const OfficeRef& document, bool deliverOwnership) override;
    void release(OfficeRef& object) override;
    qint64 officePid() const override { return pid; }

    // The label of an object made by this fake ("desktop#2"), or "none".
    static QString label(const OfficeRef& object);
    // The local path that a file URL of ours names.
    static QString pathFromUrl(const QString& url);

    QStringList calls;
    QSet<QString> failing;        // operation names that throw OfficeError
    QSet<QString> unloadableUrls; // loads that answer an empty reference
    QSet<QString> textUrls;       // loads that give a text document, not a spreadsheet
    std::function<void(const QString& path)> exportAction = writeFakePdf;
    qint64 pid = -1;
    static void writeFakePdf(const QString& path);

private:
    OfficeRef make(const QString& kind);
    void maybeFail(const QString& operation);
    int serial_ = 0;
    QSet<QString> textDocuments_; // labels
};
