#include "batchsources.h"

#include "batchoptions.h"
#include "errors.h"
#include "folderscan.h"
#include "outputpath.h"
#include "pdftarget.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {
bool isSpreadsheetName(const QString& path)
{
    static const QStringList suffixes{QStringLiteral("ods"), QStringLiteral("ots"),
                                      QStringLiteral("sxc"), QStringLiteral("stc")};
    return suffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

class Collector {
public:
    explicit Collector(BatchSources& sources) : sources_(sources) {}

    // One file reached through two names (a link, a linked folder, "./")
    // is one conversion, and so is one PDF: two offices must never write
    // the same file at once.
    // `below` is the source's folder below the argument that named it ("."
    // for a file argument).
    void add(const QString& source, const QString& pdfFolder, const QString& below)
    {
        const QString pdf = OutputPathFor(source, pdfFolder);
        const QString key = QDir::cleanPath(below + u'/' + QFileInfo(pdf).fileName());
        try {
            RefuseSourceAsPdf(source, pdf);
        } catch (const TarnwickError& e) {
            problem(source, e.description(), key, pdf);
            return;
        }
        FileIdentity identity;
        const bool known = FileIdentity::of(source, identity);
        if (const auto same = firstNameOf_.constFind(identity);
            known && same != firstNameOf_.cend()) {
            problem(source, QStringLiteral("Not converted: it is the same file as %1.").arg(*same),
                    key, pdf);
            return;
        }
        const QString real = RealPdfPath(pdf);
        if (const auto first = firstOf_.constFind(real); first != firstOf_.cend()) {
            sources_.items[*first].standIns.push_back({source, pdf, key, {}});
            return;
        }
        if (known)
            firstNameOf_.insert(identity, source);
        firstOf_.insert(real, sources_.items.size());
        sources_.items.append({source, pdf, key, {}});
    }
    void problem(const QString& source, const QString& message, const QString& key,
                 const QString& pdf = {})
    {
        sources_.problems.append({source, message, key, pdf});
    }

private:
    BatchSources& sources_;
    // The item that gives each real PDF, by its index.
    QHash<QString, qsizetype> firstOf_;
    QHash<FileIdentity, QString> firstNameOf_;
};
} // namespace

BatchProblem GivenByAnother(const BatchItem& standIn, const QString& first)
{
    return {standIn.source,
            QStringLiteral("Not converted: %1 gives the same PDF, %2.").arg(first, standIn.pdf),
            standIn.shareKey, standIn.pdf};
}

BatchSources CollectSources(const BatchOptions& options, Dialogs& dialogs,
                            const std::function<void()>& yield)
{
    BatchSources sources;
    Collector collect(sources);
    const bool beside = options.outputDir.isEmpty();
    for (qsizetype i = 0; i < options.paths.size(); ++i) {
        const QString& path = options.paths[i];
        const QFileInfo info(path);
        const QString name = info.fileName();
        if (options.unrepresentable.contains(i)) {
            collect.problem(path, PassedOver{path, PassedOver::Kind::File}.reason(), name);
        } else if (info.isDir()) {
            QStringList files;
            FolderScan scan(
                dialogs,
                [&files](const QString& file) {
                    if (isSpreadsheetName(file))
                        files << file;
                },
                yield);
            scan.AddFolderTree(path, QStringLiteral("*.*"));
            const QDir top(path);
            for (const PassedOver& passed : scan.passedOver()) {
                if (passed.kind == PassedOver::Kind::Folder || isSpreadsheetName(passed.path))
                    collect.problem(passed.path, passed.reason(),
                                    top.relativeFilePath(passed.path));
            }
            for (const QString& file : files) {
                const QString folder = QFileInfo(file).path();
                const QString below = top.relativeFilePath(folder);
                collect.add(file,
                            beside ? folder : QDir::cleanPath(options.outputDir + u'/' + below),
                            below);
            }
        } else if (info.isFile()) {
            collect.add(path, beside ? info.path() : options.outputDir, QStringLiteral("."));
        } else {
            collect.problem(path,
                            info.exists() ? QStringLiteral("It is neither a file nor a folder.")
                                          : QStringLiteral("There is no such file or folder."),
                            name);
        }
    }
    return sources;
}
