#include "install/install_tables.h"

#include "base/format_text.h"
#include "payload/payload_catalogue.h"

enum { kOptional = 0, kRequired = 1 };
enum { kAlways = 0, kWordBase = 1 };

// One row a file, each phase under its name, as the install reads; the formatter leaves the rows as
// they are.
// clang-format off
const InstallStep InstallSteps[] = {
    // The core dictionaries (checkpoint 10 is set when the bar appears)
    {0, kPayloadPykeysDic, kRequired, kAlways}, {0, kPayloadGbkflatDic, kRequired, kAlways},
    {0, kPayloadPy1keyDic, kRequired, kAlways},
    // The sort order
    {15, kPayloadSortDic, kRequired, kAlways},
    // Dictionary resources
    {20, kPayloadChdicresBin, kOptional, kAlways}, {0, kPayloadChnDic2Bin, kOptional, kAlways},
    {0, kPayloadDuplicatDic, kOptional, kAlways}, {0, kPayloadCh2keyBin, kOptional, kAlways},
    // Read-me texts and the configuration template
    {0, kPayloadReadme2Igb, kRequired, kAlways}, {0, kPayloadReadme3Igb, kRequired, kAlways},
    {0, kPayloadChipaduiIni, kRequired, kAlways},
    // The English configuration, the tips and the word-base guide
    {0, kPayloadChipaduiEnIni, kOptional, kAlways}, {0, kPayloadTipsTxt, kOptional, kAlways},
    {0, kPayloadTipsEnTxt, kOptional, kAlways}, {0, kPayloadCikuguideTxt, kOptional, kAlways},
    // The glyph font
    {25, kPayloadChnBmpBin, kRequired, kAlways},
    // Keyboard maps
    {30, kPayloadKeymapBmp, kRequired, kAlways}, {0, kPayloadKeymapPYBmp, kRequired, kAlways},
    {0, kPayloadKeymapPYStdBmp, kRequired, kAlways}, {0, kPayloadKeymapSPBmp, kRequired, kAlways},
    {0, kPayloadKeymapSPStdBmp, kRequired, kAlways}, {0, kPayloadKeymapSP1Bmp, kRequired, kAlways},
    {0, kPayloadKeymapSPStd1Bmp, kRequired, kAlways}, {0, kPayloadKeymapSP2Bmp, kRequired, kAlways},
    {0, kPayloadKeymapSPStd2Bmp, kRequired, kAlways},
    // The word base
    {35, kPayloadCiZuFlatIgb, kRequired, kWordBase},
    // Pinyin and stroke tables
    {45, kPayloadCh2pyBin, kRequired, kAlways}, {0, kPayloadCh2pypz1Bin, kRequired, kAlways},
    {0, kPayloadCh2pypz2Bin, kRequired, kAlways}, {0, kPayloadBihuakuBin, kRequired, kAlways},
    // Data files, tools, help pages and images
    {0, kPayloadVmodewordsDic, kOptional, kAlways}, {0, kPayloadGbk2b5Bin, kOptional, kAlways},
    {0, kPayloadB5gbkBin, kOptional, kAlways}, {0, kPayloadFccdicBin, kOptional, kAlways},
    {0, kPayloadDepend1Map, kOptional, kAlways}, {0, kPayloadDepend2Map, kOptional, kAlways},
    {0, kPayloadMiBihua1DupsPreferedCodesBin, kOptional, kAlways},
    {0, kPayloadMiBihua1Bin, kOptional, kAlways}, {0, kPayloadMiBihua1DanjianzuheBin, kOptional, kAlways},
    {0, kPayloadZiPartsBaseDat, kOptional, kAlways}, {0, kPayloadZiPartsDat, kOptional, kAlways},
    {0, kPayloadOrbit7ShowExe, kOptional, kAlways}, {0, kPayloadZiOrderedByUsageTxt, kOptional, kAlways},
    {0, kPayloadK73lianjianBmp, kOptional, kAlways}, {0, kPayloadOrbit7keymapBmp, kOptional, kAlways},
    {0, kPayloadTessoguideHtm, kOptional, kAlways}, {0, kPayloadTsoguideHtm, kOptional, kAlways},
    {0, kPayloadTSOEditGuideHtm, kOptional, kAlways}, {0, kPayloadInkleafguideHtm, kOptional, kAlways},
    {0, kPayloadChineseInputSamplesHtm, kOptional, kAlways}, {0, kPayloadInputAssistHtm, kOptional, kAlways},
    {0, kPayloadFastStepsHtm, kOptional, kAlways}, {0, kPayloadPinyinPinxingHtm, kOptional, kAlways},
    {0, kPayloadXingmaguideHtm, kOptional, kAlways}, {0, kPayloadXingmajiyiHtm, kOptional, kAlways},
    {0, kPayloadKuaiJianHtm, kOptional, kAlways}, {0, kPayloadTessoguideEnHtm, kOptional, kAlways},
    {0, kPayloadTsoguideEnHtm, kOptional, kAlways}, {0, kPayloadTSOEditGuideEnHtm, kOptional, kAlways},
    {0, kPayloadInkleafguideEnHtm, kOptional, kAlways},
    {0, kPayloadChineseInputSamplesEnHtm, kOptional, kAlways},
    {0, kPayloadInputAssistEnHtm, kOptional, kAlways}, {0, kPayloadFastStepsEnHtm, kOptional, kAlways},
    {0, kPayloadPinyinPinxingEnHtm, kOptional, kAlways}, {0, kPayloadKuaiJianEnHtm, kOptional, kAlways},
    {0, kPayloadTessoguideB5Htm, kOptional, kAlways}, {0, kPayloadTsoguideB5Htm, kOptional, kAlways},
    {0, kPayloadTSOEditGuideB5Htm, kOptional, kAlways}, {0, kPayloadInkleafguideB5Htm, kOptional, kAlways},
    {0, kPayloadChineseInputSamplesB5Htm, kOptional, kAlways},
    {0, kPayloadInputAssistB5Htm, kOptional, kAlways}, {0, kPayloadFastStepsB5Htm, kOptional, kAlways},
    {0, kPayloadPinyinPinxingB5Htm, kOptional, kAlways}, {0, kPayloadKuaiJianB5Htm, kOptional, kAlways},
    {0, kPayloadParts2ZisPng, kOptional, kAlways}, {0, kPayloadHanZiInfoEnPng, kOptional, kAlways},
    {0, kPayloadHanZiInfoPng, kOptional, kAlways}, {0, kPayloadFindSayingPng, kOptional, kAlways},
    {0, kPayloadTessoInputEngineGuideChm, kOptional, kAlways}, {0, kPayloadWelcomeTsoBmp, kOptional, kAlways},
    {0, kPayloadTSOUnInstallExe, kOptional, kAlways}, {0, kPayloadLicenseEnTxt, kOptional, kAlways},
    {0, kPayloadLicenseCnTxt, kOptional, kAlways}, {0, kPayloadWelcomeInkleafBmp, kOptional, kAlways},
    {0, kPayloadPysampciManual3Png, kOptional, kAlways}, {0, kPayloadPysampcaretPng, kOptional, kAlways},
    {0, kPayloadPysampciManualPng, kOptional, kAlways}, {0, kPayloadPysampciManual1Png, kOptional, kAlways},
    {0, kPayloadPysampciManual2Png, kOptional, kAlways}, {0, kPayloadPysamp1Png, kOptional, kAlways},
    {0, kPayloadPysampciManual4Png, kOptional, kAlways}, {0, kPayloadPysampciManual5Png, kOptional, kAlways},
    {0, kPayloadPysampci1Png, kOptional, kAlways}, {0, kPayloadPysampci2Png, kOptional, kAlways},
    {0, kPayloadPysampci3Png, kOptional, kAlways}, {0, kPayloadPysampci4Png, kOptional, kAlways},
    {0, kPayloadPysampci5Png, kOptional, kAlways}, {0, kPayloadPysampci6Png, kOptional, kAlways},
    {0, kPayloadPysampci7Png, kOptional, kAlways}, {0, kPayloadPysampci8Png, kOptional, kAlways},
    {0, kPayloadPysampforecastPng, kOptional, kAlways}, {0, kPayloadPysampshengdiao3Png, kOptional, kAlways},
    // The typing tutor
    {50, kPayloadChineseTypingTutorialExe, kRequired, kAlways},
    // The second word-base index
    {55, kPayloadPxcizudicIdx, kOptional, kWordBase},
    // Word-base indexes and the editor
    {65, kPayloadPycizudicIdx, kRequired, kWordBase}, {0, kPayloadPy23ZiCi1stZuMuIdx, kRequired, kWordBase},
    {0, kPayloadInkleafExe, kRequired, kAlways},
    // Guides, the keyboard hook and the engine itself
    {70, kPayloadFAQ4DisplayHanziIgb, kOptional, kAlways},
    {0, kPayloadFAQ4DisplayHanziEnIgb, kOptional, kAlways}, {0, kPayloadReadme2hbIgb, kOptional, kAlways},
    {0, kPayloadKeyhookDll, kOptional, kAlways}, {0, kPayloadTsoExe, kOptional, kAlways},
    {0, kPayloadZiPartsStdDat, kOptional, kAlways}, {0, kPayloadZiPartsBaseStdDat, kOptional, kAlways},
    {0, kPayloadZiDefDic, kOptional, kAlways}, {0, kPayloadCedictTsU8, kOptional, kAlways},
    // Every file written: the commit follows
    {90, 0, kOptional, kAlways},
};
// clang-format on
const int InstallStepCount = sizeof InstallSteps / sizeof InstallSteps[0];

const ShortcutRow ShortcutRows[kShortcutRowCount] = {
    {kInProgramGroup, &ShortcutNames::engine, "TSO.exe"},
    {kInProgramGroup, &ShortcutNames::uninstall, "TSOUnInstall.exe"},
    {kOnDesktop, &ShortcutNames::editor, "Inkleaf.exe"},
    {kOnDesktop, &ShortcutNames::engine, "TSO.exe"},
    {kAtStartUp, &ShortcutNames::engine, "TSO.exe"},
};
