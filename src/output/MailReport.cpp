#include "output/MailReport.h"

#include "components/platform/FileBytes.h"
#include "output/OutputNames.h"
#include "output/SendMail.h"
#include "output/WorkbookFile.h"

namespace fc::output {

std::string mailAttachmentPath(const std::string& caption, const std::string& tempDir) {
    return files::join(tempDir, cleanTitle(caption) + ".xls");
}

bool mailReport(Workbook& book, const std::string& caption, const std::string& email,
                const std::string& tempDir, Prompter& prompter) {
    const std::string path = mailAttachmentPath(caption, tempDir);
    if (!saveWorkbookFile(book, path, prompter)) {
        return false;
    }
    MailMessage m;
    m.to = email;
    m.subject = caption;
    m.body = "  ";
    m.attachments.push_back(path);
    return SendMail(m, prompter);
}

} // namespace fc::output
