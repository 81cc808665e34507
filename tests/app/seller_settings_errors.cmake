# Settings files with mistakes stop the build with a message that names the mistake; run as
#   cmake -DSOURCE_DIR=<tree> -DWORK_DIR=<scratch folder> -P seller_settings_errors.cmake
# Each case is read in a CMake process of its own, since a mistake ends the process that reads it.
cmake_minimum_required(VERSION 3.25)
if(DEFINED SETTINGS)
  include(${SOURCE_DIR}/cmake/SkywardSellerSettings.cmake)
  _skyward_read_seller_settings(${SETTINGS})
  message(STATUS "read: ${SELLER_company}|${SELLER_mail_server}")
  return()
endif()

string(ASCII 226 134 146 arrow)  # U+2192 in UTF-8: no Windows-1252 byte stands for it
set(complete "company = C\naddress = A\ntelephone = T\nfax = F\nemail = E\ntax_id = X\norder_address = O\nfallback_sender = S\n")
set(cases
  "good|${complete}mail_server = mail.example.com:25\n|read: C.mail.example.com:25"
  "missing key|${complete}|\"mail_server\" is missing"
  "unknown key|${complete}mail_server = m\nwebsite = w\n|unknown key \"website\""
  "twice|${complete}mail_server = m\ncompany = D\n|\"company\" is given twice"
  "no equals|${complete}mail_server = m\njust words\n|:10: expected \"key = value\""
  "port too large|${complete}mail_server = m:65536\n|between 1 and 65535"
  "port zero|${complete}mail_server = m:0\n|between 1 and 65535"
  "host with blank|${complete}mail_server = mail server\n|must be a host name"
  "empty company|${complete}mail_server = m\n|\"company\" must not be empty"
  "control character|${complete}mail_server = m\ntelephone\t= 1\t2\n|control characters"
  "outside the code page|${complete}mail_server = m\nfax = ${arrow}\n|character U\\+2192 has no place in Windows-1252"
)
set(failures 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 name)
  list(GET parts 1 content)
  list(GET parts 2 expected)
  if(name STREQUAL "empty company")
    string(REPLACE "company = C" "company =" content "${content}")
  endif()
  set(file ${WORK_DIR}/settings-errors.txt)
  file(WRITE ${file} "${content}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${SOURCE_DIR} -DSETTINGS=${file}
                          -P ${CMAKE_CURRENT_LIST_FILE}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  string(REGEX REPLACE "[ \n]+" " " output "${output}")  # messages come wrapped
  if(name STREQUAL "good")
    set(ok FALSE)
    if(result EQUAL 0 AND output MATCHES "${expected}")
      set(ok TRUE)
    endif()
  else()
    set(ok FALSE)
    if(NOT result EQUAL 0 AND output MATCHES "${expected}")
      set(ok TRUE)
    endif()
  endif()
  if(ok)
    message(STATUS "ok: ${name}")
  else()
    message(STATUS "FAILED: ${name} (result ${result}):\n${output}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
list(LENGTH cases count)
math(EXPR passed "${count} - ${failures}")
message(STATUS "${passed} passed, ${failures} failed")
if(failures)
  message(FATAL_ERROR "settings files with mistakes were not refused as they should be")
endif()
