#include "server/help_pages.h"

namespace trilane::club {
namespace {

// Opened by the "?" beside the network fields of the player window.
constexpr std::string_view kRouterPage = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Trilane: playing over the network through a router</title>
<style>
body { font-family: sans-serif; max-width: 46em; margin: 2em auto; padding: 0 1em;
       line-height: 1.5; color: #1b1b1b; background: #f6f3ea; }
h1 { color: #1e5c2a; font-size: 1.5em; }
h2 { color: #7a1010; font-size: 1.15em; margin-top: 1.6em; }
code { background: #e8e2d0; padding: 0 .25em; border-radius: 3px; }
</style>
</head>
<body>
<h1>Playing over the network through a router</h1>

<p>In a network game one player creates the game ("Server create the game") and up to three
others join it ("Client enters to game") by the server's address and port. Only the player who creates
the game needs anything on this page; the joining players only type in the address and the
port the server's player gives them.</p>

<h2>Players on the same home or office network</h2>
<p>Nothing to set up. The server's player presses "To receive the IP-addresses", reads the
computer's address on the home network (usually one that starts with <code>192.168.</code> or
<code>10.</code>) and gives it to the others together with the port (<code>25666</code> unless
you changed it).</p>

<h2>Players over the Internet</h2>
<ol>
<li>On the server's computer, choose a port in the player window (the default
<code>25666</code> is fine) and note the computer's own address on the home network
("To receive the IP-addresses" lists it).</li>
<li>Open the router's settings page in a browser (often <code>http://192.168.0.1</code> or
<code>http://192.168.1.1</code>; the address and the password are on a sticker on the
router or in its manual).</li>
<li>Find the page called <i>Port forwarding</i>, <i>Virtual server</i>, <i>NAT</i> or
<i>Applications</i>, and add a rule: protocol <b>TCP</b>, outside port <b>25666</b>, inside
port <b>25666</b>, inside address = the computer's own address from step 1. Save it.</li>
<li>Allow the game through the computer's firewall for incoming TCP connections on that
port (the system usually asks the first time a game is created).</li>
<li>Give the joining players the <b>outside address</b> (the address the Internet sees; "To
receive the IP-addresses" asks the club service for it) and the port.</li>
</ol>

<h2>When the others cannot join</h2>
<ul>
<li>Check that the game is created before the others try to join, and that everybody uses
the same port.</li>
<li>Give the router rule a fixed inside address: many routers hand the computer a new address
now and then; reserve its address in the router's <i>DHCP</i> settings.</li>
<li>Some Internet providers give several homes one outside address (carrier-grade NAT); a
port cannot be opened then. Let another player create the game, or ask the provider for a
public address.</li>
<li>A game needs one connection per joining player and nothing else: no other port and no
UDP.</li>
</ul>
</body>
</html>
)";

}  // namespace

std::optional<std::string_view> HelpPage(std::string_view name) {
  if (name == "router.html") return kRouterPage;
  return std::nullopt;
}

}  // namespace trilane::club
