# Authenticode signing of the two shipped setups (scripts/sign-setup.sh), when a certificate is
# given, and the tests of signed setups. The signed copies go to build/signed/win-<arch>/; the
# build's own exes stay unsigned, and so byte-for-byte what the same sources give.
set(TESSO_SIGN_PKCS12 "" CACHE FILEPATH
    "PKCS#12 certificate and key to sign the setups with (unsigned when empty); the password is read at build time from TESSO_SIGN_PASSWORD_FILE or TESSO_SIGN_PASSWORD")
set(TESSO_SIGN_TIMESTAMP_URL "" CACHE STRING "Timestamp server for the signatures (none when empty)")
option(TESSO_SIGN_OLD_SYSTEMS "Also a SHA-1 signature, first, for Windows XP before SP3 and older" OFF)
set(TESSO_SIGNED_DIR ${CMAKE_BINARY_DIR}/signed)

if(TESSO_SIGN_PKCS12)
    set(sign_options "")
    if(TESSO_SIGN_TIMESTAMP_URL)
        list(APPEND sign_options --timestamp ${TESSO_SIGN_TIMESTAMP_URL})
    endif()
    if(TESSO_SIGN_OLD_SYSTEMS)
        list(APPEND sign_options --old-systems)
    endif()
    set(signed_exes "")
    foreach(arch i686 x86_64)
        set(signed ${TESSO_SIGNED_DIR}/win-${arch}/TessoSetup.exe)
        add_custom_command(OUTPUT ${signed}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSO_SIGNED_DIR}/win-${arch}
            COMMAND ${CMAKE_SOURCE_DIR}/scripts/sign-setup.sh ${sign_options} ${TESSO_SIGN_PKCS12}
                    ${CMAKE_BINARY_DIR}/win-${arch}/TessoSetup.exe ${signed}
            DEPENDS setup_${arch} ${CMAKE_BINARY_DIR}/win-${arch}/TessoSetup.exe ${TESSO_SIGN_PKCS12}
                    ${CMAKE_SOURCE_DIR}/scripts/sign-setup.sh
            COMMENT "Signing win-${arch}/TessoSetup.exe")
        list(APPEND signed_exes ${signed})
    endforeach()
    add_custom_target(signed_setups ALL DEPENDS ${signed_exes})
endif()

# The tests sign with a throw-away authority of their own, whatever is configured above.
set(TESSO_SIGNING_TEST_DIR ${CMAKE_BINARY_DIR}/signing-test)
add_test(NAME packaging.signing COMMAND ${CMAKE_SOURCE_DIR}/tests/packaging/check-signing.sh ${CMAKE_SOURCE_DIR}
         ${TESSO_WIN32_DIR}/TessoSetup.exe ${TESSO_WIN64_DIR}/TessoSetup.exe ${TESSO_PAYLOAD_DIR}
         ${TESSO_SIGNING_TEST_DIR})
set_tests_properties(packaging.signing PROPERTIES FIXTURES_SETUP signed TIMEOUT 120)

# The signed 64-bit twin installs everything, and its copy with a payload byte changed after
# signing is reported as damaged.
set(signed64 ${TESSO_SIGNING_TEST_DIR}/win-x86_64/TessoSetup.exe)
tesso_wine_test(wine.signed.wizard_gui_test ${TESSO_WIN64_TESTS_DIR}/wizard_gui_test.exe --gtest_brief=1
    --gtest_filter=Wizard.ClickedThroughItInstallsEverything)
tesso_wine_test(wine.signed.reliability_gui_test ${TESSO_WIN64_TESTS_DIR}/reliability_gui_test.exe
    --gtest_brief=1 --gtest_filter=Reliability.SignedSetupChangedAfterwardsIsReportedDamaged)
foreach(name wine.signed.wizard_gui_test wine.signed.reliability_gui_test)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "wine;signed" ENVIRONMENT
        "LC_ALL=en_US.UTF-8;TESSO_SCREENSHOTS=${TESSO_SCREENSHOT_DIR}/signed;TESSO_SETUP_EXE=${signed64};\
TESSO_CHANGED_SETUP_EXE=${TESSO_SIGNING_TEST_DIR}/changed/TessoSetup.exe")
endforeach()

# The signed 32-bit setup, for the oldest systems too, installs everything as Windows XP sees it.
add_test(NAME wine32.signed.wizard_gui_test COMMAND ${TESSO_WINE_RUN} --win32 --windows-version winxp
    ${TESSO_WINE32_PREFIX} ${TESSO_WIN32_TESTS_DIR}/wizard_gui_test.exe --gtest_brief=1
    --gtest_filter=Wizard.ClickedThroughItInstallsEverything)
set_tests_properties(wine32.signed.wizard_gui_test PROPERTIES FIXTURES_REQUIRED "wine32;signed"
    RESOURCE_LOCK wine32 TIMEOUT 300 SKIP_RETURN_CODE ${TESSO_SKIPPED} ENVIRONMENT
    "LC_ALL=en_US.UTF-8;TESSO_SCREENSHOTS=${TESSO_SCREENSHOT_DIR}/signed-win32;\
TESSO_SETUP_EXE=${TESSO_SIGNING_TEST_DIR}/win-i686/TessoSetup.exe")
