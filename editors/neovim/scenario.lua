-- The scenario toolkit's language server in Neovim's built-in client (Neovim
-- 0.7 or later): `scenario lsp` is started for the folder of the first route
-- source (NAME_linea.txt) or service source (NAME_TRAIN-.txt) opened there,
-- and every such source of that folder is attached to it, since the server
-- compiles the two of a pair together. The sources are read as Windows-1252,
-- as the toolkit and the generator write them.
--
-- In init.lua:
--   dofile("/path/to/editors/neovim/scenario.lua").setup({cmd = {"/path/to/scenario", "lsp"}})
local M = {}

local modelli = { "*_linea.txt", "*-.txt" }

function M.setup(opzioni)
  opzioni = opzioni or {}
  local cmd = opzioni.cmd or { "scenario", "lsp" }
  local per_cartella = {} -- folder -> client id
  local gruppo = vim.api.nvim_create_augroup("scenario_lsp", { clear = true })

  -- 'fileencodings' is global: Windows-1252 only while a source is being read.
  local codifiche
  vim.api.nvim_create_autocmd("BufReadPre", {
    group = gruppo,
    pattern = modelli,
    callback = function()
      codifiche = vim.o.fileencodings
      vim.o.fileencodings = "cp1252"
    end,
  })
  vim.api.nvim_create_autocmd({ "BufReadPost", "BufNewFile" }, {
    group = gruppo,
    pattern = modelli,
    callback = function(a)
      if codifiche then
        vim.o.fileencodings = codifiche
        codifiche = nil
      end
      if a.event == "BufNewFile" then vim.bo[a.buf].fileencoding = "cp1252" end
      local cartella = vim.fn.fnamemodify(a.file, ":p:h")
      local id = per_cartella[cartella]
      if id == nil or vim.lsp.get_client_by_id(id) == nil then
        id = vim.lsp.start_client({
          name = "scenario",
          cmd = cmd,
          root_dir = cartella,
          on_attach = opzioni.on_attach,
        })
        per_cartella[cartella] = id
      end
      if id then vim.lsp.buf_attach_client(a.buf, id) end
    end,
  })
end

return M
