# Every portal address starts with this scheme. http keeps the addresses the portal has always had;
# a real deployment wants https, as over http anyone on the way (an open Wi-Fi) can rewrite the pages
# the shell trusts, read the session and replace the update offers.
set(QZ_PORTAL_SCHEME "http" CACHE STRING "Scheme of every portal address: http or https")
set_property(CACHE QZ_PORTAL_SCHEME PROPERTY STRINGS http https)
if(NOT QZ_PORTAL_SCHEME MATCHES "^https?$")
  message(FATAL_ERROR "QZ_PORTAL_SCHEME='${QZ_PORTAL_SCHEME}' is not a portal scheme: write http or https, "
                      "in lower case, without \"://\"")
endif()

# The four portal hosts are fixed at build time. Each is a bare host name or address, optionally
# followed by ":port", written straight after the scheme's "://" in every portal address.
set(QZ_SERVICE_HOST "127.0.0.1:8301" CACHE STRING "Host of the start page, go page, member hall and help centre")
set(QZ_SEARCH_HOST "127.0.0.1:8302" CACHE STRING "Host of the search portal")
set(QZ_SITE_HOST "127.0.0.1:8303" CACHE STRING "Host of the site directory")
set(QZ_HOME_HOST "127.0.0.1:8304" CACHE STRING "Host of the update, tutorial, feedback, introduction and home pages")

# Hosts besides the four whose pages the shell shows itself (a site the portal logs in through, say);
# every other web address opens in the user's own browser. Entries are written like the four hosts,
# parted by ";" or ",".
set(QZ_TRUSTED_HOSTS "" CACHE STRING "Further hosts the shell shows itself, host or host:port, parted by ; or ,")

# Checks one bare host[:port]; variable names it in the message.
function(qz_check_host_value variable value)
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

function(qz_check_host variable)
  qz_check_host_value(${variable} "${${variable}}")
endfunction()

foreach(host QZ_SERVICE_HOST QZ_SEARCH_HOST QZ_SITE_HOST QZ_HOME_HOST)
  qz_check_host(${host})
endforeach()

# The trusted hosts reach the code as one comma-separated text of checked entries.
string(REPLACE "," ";" qz_trusted_entries "${QZ_TRUSTED_HOSTS}")
set(QZ_TRUSTED_HOSTS_TEXT "")
foreach(entry IN LISTS qz_trusted_entries)
  string(STRIP "${entry}" entry)
  if(entry STREQUAL "")
    continue()
  endif()
  qz_check_host_value("QZ_TRUSTED_HOSTS entry" "${entry}")
  list(APPEND QZ_TRUSTED_HOSTS_TEXT "${entry}")
endforeach()
list(JOIN QZ_TRUSTED_HOSTS_TEXT "," QZ_TRUSTED_HOSTS_TEXT)
