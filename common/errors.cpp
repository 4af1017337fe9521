#include "errors.h"

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
