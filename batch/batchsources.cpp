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
    void add(const QString& source, const QString& pdfFolder)
    {
        const QString pdf = OutputPathFor(source, pdfFolder);
        try {
            RefuseSourceAsPdf(source, pdf);
        } catch (const TarnwickError& e) {
            problem(source, e.description());
            return;
        }
        FileIdentity identity;
        const bool known = FileIdentity::of(source, identity);
        if (const auto same = firstNameOf_.constFind(identity);
            known && same != firstNameOf_.cend()) {
            problem(source, QStringLiteral("Not converted: it is the same file as %1.").arg(*same));
            return;
        }
        const QString real = RealPdfPath(pdf);
        if (const auto first = firstSourceOf_.constFind(real); first != firstSourceOf_.cend()) {
            problem(source,
                    QStringLiteral("Not converted: %1 gives the same PDF, %2.").arg(*first, pdf));
            return;
        }
        if (known)
            firstNameOf_.insert(identity, source);
        firstSourceOf_.insert(real, source);
        sources_.items.append({source, pdf});
    }
    void problem(const QString& source, const QString& message)
    {
        sources_.problems.append({source, message});
    }

private:
    BatchSources& sources_;
    QHash<QString, QString> firstSourceOf_;
    QHash<FileIdentity, QString> firstNameOf_;
};
} // namespace

BatchSources CollectSources(const BatchOptions& options, Dialogs& dialogs,
                            const std::function<void()>& yield)
{
    BatchSources sources;
    Collector collect(sources);
    const bool beside = options.outputDir.isEmpty();
    for (qsizetype i = 0; i < options.paths.size(); ++i) {
        const QString& path = options.paths[i];
        const QFileInfo info(path);
        if (options.unrepresentable.contains(i)) {
            collect.problem(path, PassedOver{path, PassedOver::Kind::File}.reason());
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
            for (const PassedOver& passed : scan.passedOver()) {
                if (passed.kind == PassedOver::Kind::Folder || isSpreadsheetName(passed.path))
                    collect.problem(passed.path, passed.reason());
            }
            const QDir top(path);
            for (const QString& file : files) {
                const QString folder = QFileInfo(file).path();
                collect.add(file, beside ? folder
                                         : QDir::cleanPath(options.outputDir + u'/' +
                                                           top.relativeFilePath(folder)));
            }
        } else if (info.isFile()) {
            collect.add(path, beside ? info.path() : options.outputDir);
        } else {
            collect.problem(path, info.exists()
                                      ? QStringLiteral("It is neither a file nor a folder.")
                                      : QStringLiteral("There is no such file or folder."));
        }
    }
    return sources;
}
