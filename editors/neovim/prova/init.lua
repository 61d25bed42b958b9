-- Neovim, headless, as an author's editor: the client configured by
-- ../scenario.lua against the `scenario` named by $SCENARIO, on the service
-- source given on the command line. It waits for the first diagnostics, moves
-- a signal onto the cell of a station, waits for the error that causes and
-- asks for a hover on the moved position. What it received goes to the JSON
-- file $SCENARIO_ESITO; a failed expectation is written to standard error and
-- ends Neovim with status 1.
local function fallisce(messaggio)
  io.stderr:write("FAIL: " .. tostring(messaggio) .. "\n")
  vim.cmd("cquit 1")
end

local qui = vim.fn.fnamemodify(debug.getinfo(1, "S").source:sub(2), ":p:h")
local caricato, configurazione = pcall(dofile, qui .. "/../scenario.lua")
if not caricato then return fallisce(configurazione) end
configurazione.setup({ cmd = { os.getenv("SCENARIO"), "lsp" } })

local pubblicazioni = {} -- uri -> how many publishDiagnostics came for it
local pubblica = vim.lsp.handlers["textDocument/publishDiagnostics"]
vim.lsp.handlers["textDocument/publishDiagnostics"] = function(err, result, ctx, config)
  pubblicazioni[result.uri] = (pubblicazioni[result.uri] or 0) + 1
  return pubblica(err, result, ctx, config)
end

local function verifica(condizione, ...)
  if not condizione then error(string.format(...), 0) end
end

local function attendi(ms, condizione, che_cosa)
  verifica(vim.wait(ms, condizione, 20), "no %s within %d ms", che_cosa, ms)
end

-- The first number field of a line, after the keyword: 0-based start and end.
local function posizione_in(riga)
  local inizio, fine = riga:find("%d+")
  return inizio - 1, fine
end

local function hover(buf, riga, colonna)
  local risposte = vim.lsp.buf_request_sync(buf, "textDocument/hover", {
    textDocument = { uri = vim.uri_from_bufnr(buf) },
    position = { line = riga, character = colonna },
  }, 10000)
  verifica(risposte, "no answer to a hover on line %d", riga + 1)
  for _, r in pairs(risposte) do
    if r.result and r.result.contents then return r.result.contents.value or "" end
  end
  error(string.format("an empty hover on line %d", riga + 1), 0)
end

local function prova()
  local buf = vim.api.nvim_get_current_buf()
  local uri = vim.uri_from_bufnr(buf)
  local esito = {}
  attendi(15000, function() return (pubblicazioni[uri] or 0) > 0 end, "diagnostics for " .. uri)
  esito.prima = vim.diagnostic.get(buf)
  verifica(#esito.prima == 0, "the example has %d diagnostics before the edit", #esito.prima)

  -- SAN CATALDO, a centred station of 300 m at 6600 m, holds cell 135: the
  -- cell a signal at 6700 m lands on (6700 / 50 + 1). The signal moved there
  -- is the one before it, at 5600 m.
  local righe = vim.api.nvim_buf_get_lines(buf, 0, -1, true)
  local stazione, segnale
  for i, r in ipairs(righe) do
    if r:match("^stazione,%s*6600,.*SAN CATALDO") then stazione = i - 1 end
    if r:match("^segnale,%s*5600,") then segnale = i - 1 end
  end
  verifica(stazione and segnale, "no SAN CATALDO at 6600 m or no signal at 5600 m")
  local nuova, cella = "6700", 135

  local p0, p1 = posizione_in(righe[segnale + 1])
  local n = pubblicazioni[uri]
  vim.api.nvim_buf_set_text(buf, segnale, p0, segnale, p1, { nuova })
  attendi(15000, function() return pubblicazioni[uri] > n and #vim.diagnostic.get(buf) > 0 end,
    "diagnostics after the edit")
  esito.dopo = vim.diagnostic.get(buf)
  esito.hover = hover(buf, segnale, p0)
  local f = assert(io.open(os.getenv("SCENARIO_ESITO"), "w"))
  f:write(vim.fn.json_encode(esito))
  f:close()

  verifica(#esito.dopo == 1, "%d diagnostics after the edit, one expected", #esito.dopo)
  local d = esito.dopo[1]
  verifica(d.severity == vim.diagnostic.severity.ERROR and d.code == 16,
    "not error 16 but severity %s, code %s: %s", d.severity, tostring(d.code), d.message)
  verifica(d.lnum == segnale and d.col == p0 and d.end_col == p0 + #nuova,
    "error 16 on line %d columns %d to %d, not on the signal's position (line %d, %d to %d)",
    d.lnum + 1, d.col, d.end_col, segnale + 1, p0, p0 + #nuova)
  verifica(d.message:find("a signal stands on a cell that already holds a feature", 1, true),
    "error 16 says: %s", d.message)
  local nota = (d.user_data.lsp.relatedInformation or {})[1]
  verifica(nota and nota.location.range.start.line == stazione
    and nota.message:find("cell " .. cella, 1, true),
    "error 16 has no note on the station's line %d naming cell %d", stazione + 1, cella)
  for _, atteso in ipairs({ "**segnale**", "`posizione` (m)", "where the signal stands" }) do
    verifica(esito.hover:find(atteso, 1, true), "the hover on the moved signal has no %q:\n%s",
      atteso, esito.hover)
  end
end

vim.api.nvim_create_autocmd("VimEnter", {
  once = true,
  callback = function()
    vim.schedule(function()
      local ok, messaggio = pcall(prova)
      if ok then
        vim.cmd("qall!")
      else
        fallisce(messaggio)
      end
    end)
  end,
})
