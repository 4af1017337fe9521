#include "errors.h"

#include <cerrno>
#include <exception>

CaughtError DescribeCurrentException()
{
    try {
        throw;
    } catch (const TarnwickError& e) {
        return {e.description(), e.number()};
    } catch (const std::exception& e) {
        return {QString::fromUtf8(e.what())};
    } catch (...) {
        return {QStringLiteral("Unknown error")};
    }
}

void RaiseFileError(int errnoValue, const QString& path)
{
    if (errnoValue == EACCES || errnoValue == EPERM)
        throw TarnwickError(QStringLiteral("Permission denied: %1").arg(path), PermissionDenied);
    throw TarnwickError(QStringLiteral("Path not found: %1").arg(path), PathNotFound);
}
