# The names that the setup, the uninstaller, the product's programs and zbpack must agree on have
# one owner in records/: a quoted copy of one in the code of any other folder fails. Comments,
# tests and data files may quote them.
set(names
    ZarBelPC.INI SETTINGS CURRLANGUAGE EXEMODE PATH Installpath ServerPath SONGDIR FirstTime
    ProgramFilesDir regsvr32.exe FONTS EUROSTIB.TTF ZarbelPC.lnk "Uninstall ZarbelPC.lnk"
    Desktop SendTo "Start Menu" Programs
    ITALIANO ENGLISH FRENCH ESPANOL
    SETUP_CAPTION SETUP_INSTALL GLOBAL_CANCEL SETUP_CHANGE_DIR SETUP_CHOOSE_INSTALL_PATH
    GLOBAL_WARNING SETUP_ABORTED GLOBAL_INFO SETUP_CREATE_ICON_ON_DESKTOP
    SETUP_COMPLETED_SUCCESFULLY SETUP_LICENSE_AGREEMENT_ACCEPT
    SETUP_LICENSE_AGREEMENT_DONT_ACCEPT SETUP_LICENSE_NOT_SHOWN)
# A literal that is exactly one of the names, or a longer one that ends in the Shell Folders key
# or the CurrentVersion key.
list(JOIN names "|" alternatives)
string(REPLACE "." "\\." alternatives "${alternatives}")
set(pattern "\"(${alternatives})\"|Shell Folders\"|CurrentVersion\"")

set(failures 0)
foreach(folder IN LISTS FOLDERS)
    file(GLOB_RECURSE sources RELATIVE ${SOURCE} ${SOURCE}/${folder}/*.cpp ${SOURCE}/${folder}/*.h)
    list(FILTER sources EXCLUDE REGEX "/tests/")
    foreach(source IN LISTS sources)
        # Only the lines that quote a name; what follows // on them is a comment.
        file(STRINGS ${SOURCE}/${source} lines REGEX "${pattern}")
        foreach(line IN LISTS lines)
            string(REGEX REPLACE "//.*$" "" code "${line}")
            if(code MATCHES "${pattern}")
                string(STRIP "${line}" line)
                message(SEND_ERROR "${source}: ${CMAKE_MATCH_0} belongs to records/: ${line}")
                math(EXPR failures "${failures} + 1")
            endif()
        endforeach()
    endforeach()
endforeach()
if(failures EQUAL 0)
    message(STATUS "no shared name outside records/")
endif()
