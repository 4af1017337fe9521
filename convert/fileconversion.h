#pragma once

#include "officeoperations.h"

#include <QString>

class Clock;

// Converting one file, step by step, in the order the batch run calls the
// steps. Each step replaces the object it makes; when it fails, that object
// stays empty, so later steps fail clearly instead of reaching an object of
// the previous file.
class FileConversion {
public:
    FileConversion(OfficeOperations& office, const Clock& clock) : office_(office), clock_(clock) {}

    void createServiceManager();
    void createDesktop();
    // Loads the source hidden. A file the office cannot open raises an error
    // that names it.
    void load(const QString& sourcePath);
    void createDispatchHelper();
    void getController();
    void getFrame();
    void makeUrlRecord(const QString& outputPath);
    void makeFilterNameRecord();
    void makeFilterDataRecord();
    // Sends the export, then checks that the PDF was really written: the
    // office reports success even when it wrote nothing.
    void dispatch(const QString& outputPath);
    void close();
    void release();
    // Lets go of every office object (the end of a run).
    void releaseAll();

private:
    OfficeOperations& office_;
    const Clock& clock_;
    OfficeRef serviceManager_, desktop_, document_, dispatchHelper_, controller_, frame_;
    PropertyValues arguments_{3};
};

// All steps for one file, without the pause; the first failure propagates.
void ConvertFile(OfficeOperations& office, const Clock& clock, const QString& sourcePath,
                 const QString& outputPath);
