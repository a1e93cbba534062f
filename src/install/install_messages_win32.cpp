#include "install/install_messages_win32.h"

#include "base/format_text.h"
#include "base/setup_state.h"
#include "install/wizard_window.h"
#include "landing/file_holder.h"

namespace {

const char kOwnerEnglish[] = "Another user owns this folder and could change the programs put in it. OK "
                             "installs anyway; Cancel quits, "
                             "changing nothing.";
static_assert(sizeof kOwnerEnglish <= 128, "the message box shows at most 127 bytes of English");
const char kOwnUserEnglish[] =
    "This folder is yours, so programs you run unelevated could change it. OK installs "
    "anyway; Cancel quits, changing nothing.";
static_assert(sizeof kOwnUserEnglish <= 128, "the message box shows at most 127 bytes of English");

int Confirmed(const char *chinese, const char *english) {
    return ShowWizardMessage(chinese, english, kMessageOkCancel) == IDC_CONFIRM;
}

// A message whose two texts each name one thing at their one "%s": formatted here, the one place.
int ShowNamedMessage(const char *chineseFormat, const char *englishFormat, const char *name, int kind) {
    char chinese[512], english[128];
    FormatText(chinese, sizeof chinese, chineseFormat, name);
    FormatText(english, sizeof english, englishFormat, name);
    return ShowWizardMessage(chinese, english, kind);
}

// A file held past the retries while an earlier one is put back (the undo of this run's commit, or
// the recovery of an interrupted one): named, with the program that holds it where the system can
// tell; OK tries again, Cancel leaves it, its moved-aside copy and the journal for the next run of
// the setup, which puts it back before anything else. The English line has room for a name of 20
// and a program of 22 bytes.
int AskRetryHeldFile(const char *chineseFormat, const char *englishFormat, const char *name) {
    char program[23], chinese[512], english[128];
    int named = NameProgramHolding(name, program, sizeof program);
    FormatText(chinese, sizeof chinese, chineseFormat, name, named ? program : "另一程序");
    FormatText(english, sizeof english, englishFormat, name, named ? program : "another program");
    return Confirmed(chinese, english);
}

// The messages that name nothing, in the order of PlainMessage, each its Chinese then its English
// text, one after another: one text, one body (a table of pointers would cost the 32-bit exe a
// relocation each).
constexpr char kPlainMessages[] =
    // SayFolderHasDeviceName
    "目录名中有 Windows 留给设备的名字（CON、PRN、AUX、NUL、COM1 至 COM9、LPT1 至 "
    "LPT9，带不带扩展名都算）。请换一个目录名。"
    "\0"
    "The folder path has a name Windows keeps for a device (CON, PRN, AUX, NUL, COM1-9, LPT1-9). Please "
    "choose another."
    "\0"
    // SayFolderIsDriveRoot
    "请不要直接装在磁盘的根目录下，请选一个目录（如 C:\\Tesso）。"
    "\0"
    "Please choose a folder (such as C:\\Tesso), not the root of a drive."
    "\0"
    // SayFolderIsSystemFolder
    "安装程序不会装入 Windows 目录或系统目录。请选别的目录。"
    "\0"
    "The setup does not install into the Windows folder or the system folder. Please choose another."
    "\0"
    // SayFolderPathMalformed
    "请输入完整的安装目录，以盘符开头，如 C:\\Tesso。"
    "\0"
    "Please type a full folder path that starts with a drive letter, such as C:\\Tesso."
    "\0"
    // SayFolderNameHasBadCharacter
    "目录名中不能有 < > \" / | ? * 等字符或控制字符。请换一个目录名。"
    "\0"
    "A folder name cannot hold < > \" / | ? * or control characters. Please choose another."
    "\0"
    // SayFolderNameEndsInDotOrSpace: Windows drops them, and would make another folder than the one
    // typed.
    "目录名不能以句点或空格结尾（Windows 会把它们去掉）。请改一下目录名。"
    "\0"
    "A folder name cannot end in a dot or a space: Windows drops them. Please change it."
    "\0"
    // SayFolderNameIsDots
    "路径中不能有 . 或 .. 这样的目录名。请直接输入安装目录的完整路径。"
    "\0"
    "The path cannot hold . or .. as a folder name. Please type the folder's full path."
    "\0"
    // SayFolderPathPrefixed
    "请不要在路径前加 \\\\?\\、\\\\.\\ 或 \\??\\，请输入普通的路径，如 C:\\Tesso。"
    "\0"
    "Please type a plain path such as C:\\Tesso, without \\\\?\\, \\\\.\\ or \\??\\ before it."
    "\0"
    // SayFolderOnNetwork: the access rights the setup sets need a folder of this machine; a share is
    // reached through a mapped drive letter.
    "安装程序不接受 \\\\服务器\\共享 形式的网络路径。请选本机的目录，或映射为驱动器后再选。"
    "\0"
    "The setup does not take \\\\server\\share paths. Choose a local folder or a mapped drive."
    "\0"
    // SayFolderPathStartsWithSpace
    "路径以空格开头。请删去盘符前的空格。"
    "\0"
    "The path starts with a space. Please remove the spaces before the drive letter."
    "\0"
    // SayFolderNameHasStream: "C:\Tesso:x" names the stream x of a file C:\Tesso, not a folder.
    "盘符之后不能再有冒号（“目录名:名字”指的是文件的数据流，不是目录）。请改一下目录名。"
    "\0"
    "Only the drive letter takes a colon: \"name:x\" names a file's stream, not a folder."
    "\0"
    // SayFolderCannotBeMade
    "无法建目录。请检查所列目录是否合法（注意：子目录只能在已存在的目录下建）。"
    "\0"
    "Cannot create folder! Please check folder path."
    "\0"
    // SayFolderReadOnly: a CD-ROM or a drive made read-only: nothing there can be changed, so nothing
    // is asked.
    "安装目录所在的磁盘是只读的（如光盘），无法写入。请选别的目录。"
    "\0"
    "The folder is on read-only media (a CD-ROM, say) and cannot be written. Choose another."
    "\0"
    // SayNeedsAdministratorRights: An unelevated run into a folder that only an elevated one may
    // change.
    "安装到这个目录需要管理员权限。请以管理员身份运行安装程序，或选您自己的目录。"
    "\0"
    "Installing into this folder needs administrator rights. Run the setup as an administrator, or choose a "
    "folder of your own."
    "\0"
    // SayWorkFolderForeign
    "安装目录中的 ~tsowork 不是本安装程序建立的，或已被改动，安装程序不会读取或使用它。请移走它后再安装。"
    "\0"
    "~tsowork in the folder was not made by this setup or was changed; the setup will not use it. Remove "
    "it, then retry."
    "\0"
    // SayAnotherSetupInstalling
    "另一个安装程序正在向这个目录安装。请等它结束后再安装。"
    "\0"
    "Another setup is installing into this folder now. Please wait until it has finished, then try again."
    "\0"
    // SayWorkFolderNotMade
    "无法在安装目录中建立工作目录 ~tsowork。请检查安装目录后再安装。"
    "\0"
    "The setup cannot make its work folder ~tsowork in the install folder. Please check the folder."
    "\0"
    // SayRecoveredWithoutJournal: The journal of an interrupted install was lost (cut short, or
    // removed), and every file it had moved aside went back under its own name.
    "上次中断的安装的记录已丢失；它移开的原有文件都已按原名放回。安装将继续。"
    "\0"
    "An interrupted install's journal was lost; the earlier files it moved were put back by their names."
    "\0"
    // SayInstallSucceeded
    "祝贺您：安装顺利完成！"
    "\0"
    "Congratulations! Installation Success!"
    "\0"
    // SayInstallFailed
    "安装失败！原有文件均未改动。请检查一下系统后，再重新安装。谢谢！"
    "\0"
    "Installation failed; nothing was changed. Please check your system (quit all Tesso applications) and "
    "try again."
    "\0";
static_assert(TextsIn(kPlainMessages, sizeof kPlainMessages) == 2 * kPlainMessageCount + 1,
              "two texts for each");

}  // namespace

void SayPlainMessage(int which) {
    const char *chinese = NthText(kPlainMessages, 2 * which);
    ShowWizardMessage(chinese, NthText(chinese, 1), kMessageOk);
}

// The setup and the product's programs use the system's code page for every path, and Windows would
// put another character (or '?') in this one's place.
void SayFolderHasUnconvertibleCharacter(unsigned long character) {
    char chinese[kPathBufferSize + 96], english[128];
    FormatText(
        chinese, sizeof chinese,
        "目录名中的字符 U+%04lX 在本系统的代码页中没有，岚笔的程序无法使用这样的目录。请换一个目录名。",
        character);
    FormatText(english, sizeof english,
               "The folder name has a character (U+%04lX) that this system's code page lacks. Please "
               "use another name.",
               character);
    ShowWizardMessage(chinese, english, kMessageOk);
}

// What is written below a link, a junction or a mount point lands elsewhere than the path says: the
// elevated setup never writes there.
void SayFolderReachedThroughLink(const char *link) {
    ShowNamedMessage("目录 %s 是链接或连接点，安装程序不会经由它写入。请选别的目录。",
                     "%s is a link or junction; the setup never writes through it. Choose another.", link,
                     kMessageOk);
}

// With both lengths: a folder an earlier install fits may still be too long for the work folder the
// install makes inside it, and the user is told so rather than left guessing.
void SayFolderPathTooLong(unsigned long length, unsigned long longest) {
    char chinese[200], english[128];
    FormatText(chinese, sizeof chinese,
               "安装目录的路径有 %lu 个字符，安装程序最多只能用 %lu 个（它要在目录中建工作目录 "
               "~tsowork）。请选一个较短的目录。",
               length, longest);
    FormatText(english, sizeof english,
               "The folder path has %lu characters; the setup takes at most %lu (it works in ~tsowork "
               "inside). Choose a shorter one.",
               length, longest);
    ShowWizardMessage(chinese, english, kMessageOk);
}

int AskInstallIntoOtherUsersFolder() {
    return Confirmed("安装目录属于别的用户，该用户可以改动装在里面的程序。"
                     "按“确定”仍然安装，按“取消”退出安装（不作改动）。",
                     kOwnerEnglish);
}

// Vista and later: the user's own identity is also their unelevated one.
int AskInstallIntoOwnFolder() {
    return Confirmed("安装目录属于您本人，您不经提升权限运行的任何程序都能改动装在里面的程序。"
                     "按“确定”仍然安装，按“取消”退出安装（不作改动）。",
                     kOwnUserEnglish);
}

int AskInstallBesideForeignCode(const char *name) {
    return ShowNamedMessage(
               "安装目录中的 %s 不是岚笔的文件，可能随岚笔程序运行。"
               "按“确定”仍然安装，按“取消”退出安装（不作改动）。",
               "%s here is not part of Tesso and could run with its programs. OK installs anyway; "
               "Cancel quits, changing nothing.",
               name, kMessageOkCancel) == IDC_CONFIRM;
}

int AskRetryRecoveryFileHeld(const char *name) {
    return AskRetryHeldFile("上次中断的安装未能恢复文件 %s：它正被 %s 占用。请关闭它后按“确定”重试；"
                            "按“取消”退出，原有文件保存在 ~tsowork 中，下次运行安装程序时会先恢复它。",
                            "%s of an interrupted install is held by %s. OK retries; Cancel leaves it to "
                            "the next run.",
                            name);
}

int AskRetryRestoreFileHeld(const char *name) {
    return AskRetryHeldFile("安装失败，原有文件 %s 正被 %s 占用，暂时无法恢复。请关闭它后按“确定”重试；"
                            "按“取消”则原有文件保存在 ~tsowork 中，下次运行安装程序时会先恢复它。",
                            "%s is held by %s and cannot be put back yet. OK retries; Cancel leaves it "
                            "to the next run.",
                            name);
}

int AskRetryJournalUnread() {
    return Confirmed(
        "上次中断的安装的记录无法读取。原有文件都完好地保存在安装目录的 ~tsowork 中，未作改动。"
        "请关闭可能占用它的程序后按“确定”重试，或按“取消”退出安装。",
        "An interrupted install's journal cannot be read; the earlier files are kept in ~tsowork. "
        "OK retries.");
}

int AskRetryFileNotPutBack(const char *name) {
    return ShowNamedMessage(
               "上次中断的安装的记录已丢失，原有文件 %s 无法按原名放回（该名字已被占用），仍保存在安装目录的 "
               "~tsowork 中。请移走占用该名字的文件后按“确定”重试，或按“取消”退出安装。",
               "An interrupted install's journal is lost; %s cannot be put back (its name is taken). OK "
               "retries.",
               name, kMessageOkCancel) == IDC_CONFIRM;
}

// A file at a name the interrupted install created, written since (the product keeps the words the
// user teaches it there): it is the user's now, and stays.
void SayRecoveryKeptFile(const char *name) {
    ShowNamedMessage("文件 %s 是上次安装中断后写入的，已保留。",
                     "%s was written after an interrupted install, and is kept.", name, kMessageOk);
}

void SayDiskTooSmall(unsigned long neededKb, unsigned long freeKb) {
    char chinese[320], english[128];
    FormatText(chinese, sizeof chinese,
               "磁盘空间不够：安装需要 %lu KB，只有 %lu KB 可用。请选别的磁盘或清理磁盘。", neededKb, freeKb);
    FormatText(english, sizeof english, "Not enough disk space: the install needs %lu KB, %lu KB are free.",
               neededKb, freeKb);
    ShowWizardMessage(chinese, english, kMessageOk);
}

int AskRetryFileInUse(const char *name) {
    return ShowNamedMessage("文件 %s 正在使用中。请退出所有岚笔程序后按“确定”重试，或按“取消”退出安装。",
                            "%s is in use. Quit all Tesso programs and press OK to retry, or Cancel.", name,
                            kMessageOkCancel) == IDC_CONFIRM;
}

// What stands at the name: a folder, a link (a symbolic or hard link, a junction), or something
// else that is no file (a FIFO, a device).
void SayTargetNotPlain(const char *name, int what) {
    static const char *const kChinese[] = {"链接", "目录", "特殊文件（如管道）"};
    static const char *const kEnglish[] = {"a link", "a folder", "no plain file (a FIFO?)"};
    char chinese[320], english[128];
    FormatText(chinese, sizeof chinese,
               "安装目录中的 %s 是%s，安装程序不会经由它写入。请移走它，或选别的目录。", name,
               kChinese[what]);
    FormatText(english, sizeof english,
               "%s in the folder is %s; the setup never writes through it. Remove it.", name, kEnglish[what]);
    ShowWizardMessage(chinese, english, kMessageOk);
}

void SayInstallIncomplete(const char *name) {
    ShowNamedMessage("安装未完成：文件 %s 未能写入。请检查一下系统后，再重新安装。",
                     "Installation incomplete: %s could not be written. Please check and retry.", name,
                     kMessageOk);
}

void SayInstallNotUndone(const char *name) {
    ShowNamedMessage(
        "安装失败，原有文件 %s 暂未能恢复。请退出所有岚笔程序后重新运行安装程序，它会先恢复原有文件。",
        "Installation failed and %s is not restored yet. Quit Tesso and run the setup again to "
        "restore it.",
        name, kMessageOk);
}

// The commit stopped at name for a cause it knows; everything was put back.
void SayInstallFailedHeld(const char *name) {
    ShowNamedMessage("安装失败：文件 %s 被别的程序占用。原有文件均未改动。请退出占用它的程序后再安装。",
                     "Installation failed: another program holds %s; nothing was changed. Quit it and retry.",
                     name, kMessageOk);
}

void SayInstallFailedDiskFull(const char *name) {
    ShowNamedMessage("安装失败：写入 %s 时磁盘空间不够。原有文件均未改动。请清理磁盘后再安装。",
                     "Installation failed: not enough disk space for %s; nothing was changed.", name,
                     kMessageOk);
}

void SayInstallFailedNotPlain(const char *name) {
    ShowNamedMessage(
        "安装失败：%s "
        "处出现了目录、链接或特殊文件（安装中被换过）。原有文件均未改动，安装程序没有经由它写入。",
        "Installation failed: a folder, link or FIFO took the name %s; nothing was changed.", name,
        kMessageOk);
}

void SayInstallFailedWorkFolderGone(const char *name) {
    ShowNamedMessage(
        "安装失败：写入 %s 时，有人删除了工作目录 ~tsowork 或其中的锁文件。原有文件均未改动。请再安装。",
        "Installation failed: someone removed ~tsowork or its lock at %s; nothing was changed.", name,
        kMessageOk);
}

void SayInstallFailedAt(const char *name) {
    ShowNamedMessage(
        "安装失败：文件 %s 未能写入。原有文件均未改动。请检查一下系统后，再重新安装。",
        "Installation failed: %s could not be written; nothing was changed. Please check and retry.", name,
        kMessageOk);
}
