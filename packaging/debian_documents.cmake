# The two documents Debian wants in /usr/share/doc/duzuroro, written from the project's own
# so that each text has one source: the copyright file from LICENSE, the changelog from
# CHANGELOG.md.

# The machine-readable copyright file: the copyright line and the licence text of LICENSE,
# under Debian's name for the MIT licence (Expat).
function(duzuroro_write_copyright license out)
  file(STRINGS ${license} lines)
  set(holder "")
  set(text "")
  foreach(line IN LISTS lines)
    if(holder STREQUAL "" AND line MATCHES "^Copyright \\(c\\) (.+)$")
      set(holder "${CMAKE_MATCH_1}")
    elseif(NOT holder STREQUAL "")
      if(line STREQUAL "")
        string(APPEND text " .\n")
      else()
        string(APPEND text " ${line}\n")
      endif()
    endif()
  endforeach()
  if(holder STREQUAL "")
    message(FATAL_ERROR "${license} has no 'Copyright (c) YEAR HOLDER' line")
  endif()
  string(REGEX REPLACE "^ \\.\n" "" text "${text}")  # the blank line after the holder
  file(WRITE ${out}
       "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
       "Upstream-Name: DuzuRoro\n"
       "Upstream-Contact: ${DUZURORO_MAINTAINER}\n"
       "Source: ${DUZURORO_HOMEPAGE}\n"
       "\n"
       "Files: *\n"
       "Copyright: ${holder}\n"
       "License: Expat\n"
       "${text}")
endfunction()

# Ends one changelog entry with its trailer line, dated at noon UTC of the release day, or
# `earlier` hours before when newer releases came out the same day: Debian wants each entry
# older than the one above it.
function(duzuroro_trailer date earlier out_text)
  math(EXPR hour "12 - ${earlier}")
  execute_process(COMMAND date -u -R -d "${date} ${hour}:00:00" OUTPUT_VARIABLE stamp
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "CHANGELOG.md: '${date}' is not a date")
  endif()
  set(${out_text} "${${out_text}}\n -- ${DUZURORO_MAINTAINER}  ${stamp}\n\n"
      PARENT_SCOPE)
endfunction()

# A Debian changelog with one entry per release of CHANGELOG.md, newest first: each "- "
# item becomes a "* " item; the headings that group the items are left out.
function(duzuroro_write_debian_changelog changelog out)
  file(STRINGS ${changelog} lines)
  set(text "")
  set(date "")
  set(earlier 0)
  foreach(line IN LISTS lines)
    if(line MATCHES "^## \\[([^]]+)\\] - (.+)$")
      set(next_date "${CMAKE_MATCH_2}")
      set(next_text "duzuroro (${CMAKE_MATCH_1}) unstable; urgency=medium\n\n")
      if(NOT date STREQUAL "")
        duzuroro_trailer(${date} ${earlier} text)
        if(next_date STREQUAL date)
          math(EXPR earlier "${earlier} + 1")
        else()
          set(earlier 0)
        endif()
      endif()
      set(date "${next_date}")
      string(APPEND text "${next_text}")
    elseif(date STREQUAL "" OR line MATCHES "^\\[")  # before the first release; link lines
      continue()
    elseif(line MATCHES "^- (.*)$")
      string(APPEND text "  * ${CMAKE_MATCH_1}\n")
    elseif(line MATCHES "^  +(.*)$")
      string(APPEND text "    ${CMAKE_MATCH_1}\n")
    endif()
  endforeach()
  if(date STREQUAL "")
    message(FATAL_ERROR "${changelog} holds no release")
  endif()
  duzuroro_trailer(${date} ${earlier} text)
  string(REGEX REPLACE "\n\n$" "\n" text "${text}")
  file(WRITE ${out} "${text}")
endfunction()
