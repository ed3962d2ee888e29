# The four portal hosts are fixed at build time. Each is a bare host name or address, optionally
# followed by ":port", written straight after "http://" in every portal address.
set(QZ_SERVICE_HOST "127.0.0.1:8301" CACHE STRING "Host of the start page, go page, member hall and help centre")
set(QZ_SEARCH_HOST "127.0.0.1:8302" CACHE STRING "Host of the search portal")
set(QZ_SITE_HOST "127.0.0.1:8303" CACHE STRING "Host of the site directory")
set(QZ_HOME_HOST "127.0.0.1:8304" CACHE STRING "Host of the update, tutorial, feedback, introduction and home pages")

function(qz_check_host variable)
  set(value "${${variable}}")
  # A host label: letters, digits and hyphens, not starting or ending with a hyphen.
  set(label "[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?")
  if(value STREQUAL "")
    message(FATAL_ERROR "${variable} is empty: give a host name such as portal.example.com or 127.0.0.1:8301")
  elseif(NOT value MATCHES "^${label}(\\.${label})*(:[0-9]+)?$")
    message(FATAL_ERROR "${variable}='${value}' is not a bare host name: write host or host:port, "
                        "without a scheme, path, blank or other characters")
  elseif(value MATCHES ":([0-9]+)$")
    if(CMAKE_MATCH_1 LESS 1 OR CMAKE_MATCH_1 GREATER 65535)
      message(FATAL_ERROR "${variable}='${value}': the port must lie between 1 and 65535")
    endif()
  endif()
endfunction()

foreach(host QZ_SERVICE_HOST QZ_SEARCH_HOST QZ_SITE_HOST QZ_HOME_HOST)
  qz_check_host(${host})
endforeach()
